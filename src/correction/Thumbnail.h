#pragma once

#include <QByteArray>
#include <QImage>

// The small picture of a saved correction that the course site shows: the first page as
// the teacher sees it, with the site's address written over it.
namespace Thumbnail {

// The width of the page comment box beside a board page, and the gap before it.
inline constexpr int kCommentWidth = 220;
inline constexpr int kCommentGap = 6;

// A board correction: the composed page at (0, 0), widened by the comment box and the gap,
// with the comment picture at (page width + 6, 0). A comment taller than the page makes
// the thumbnail as tall; the rest stays white.
QImage Board(const QImage& page, const QImage& comment);

// The site's address (the built-in server address) over the whole picture: Arial 24
// points, bold italic, red, on one line centred both ways, without background.
void WriteSiteAddress(QImage& thumbnail);

// The address written over the picture, compressed as JPEG (quality 90, baseline).
QByteArray Encode(QImage thumbnail);

}
