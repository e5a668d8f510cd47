#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <initializer_list>
#include <memory>

class QPainter;

enum class TPenMode { Copy, NotXor };
enum class TBrushStyle { Solid, Clear };

// How a text sits in its box; lines break only at CR LF, never by wrapping.
enum class TTextLayout { TopLeft, TopCentred, CentredLine, TopCentredLine };

// A drawing surface whose pen, brush and font outlive each call, so whoever draws next
// finds what the last drawer left. It draws on a picture it does not own; the picture may
// be replaced or resized between calls, and a null picture draws nothing.
class TCanvas {
public:
    explicit TCanvas(QImage& surface);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QColor PenColor{Qt::black};
    int PenWidth = 1;
    TPenMode PenMode = TPenMode::Copy;
    QColor BrushColor{Qt::white};
    TBrushStyle BrushStyle = TBrushStyle::Solid;
    QFont Font;
    QColor FontColor{Qt::black};

    // A font size in points as pixels of a 96-dot-per-inch surface.
    static int PointsToPixels(int points);
    void SetFont(const QString& name, int points, bool bold);

    // Keeps one painter open until the matching Unlock, so many figures cost one set-up.
    void Lock();
    void Unlock();

    // Nested; the outermost pair puts back pen width, pen colour and brush colour and
    // returns the pen to copy mode. The font is not kept.
    void Save();
    void Restore();

    void Polyline(std::initializer_list<QPoint> points);
    void Line(QPoint from, QPoint to);
    // Figures inscribed in the box with corners (x1, y1) and (x2, y2).
    void Ellipse(int x1, int y1, int x2, int y2);
    void Rectangle(int x1, int y1, int x2, int y2);
    // Counter-clockwise on screen, from where the ray from the box's centre towards start
    // meets the ellipse to where the ray towards end meets it.
    void Arc(int x1, int y1, int x2, int y2, QPoint start, QPoint end);
    // Drawn in the font colour, without background, clipped to the box.
    void TextRect(const QRect& box, const QString& text, TTextLayout layout);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // In the surface's own pixels, whatever its pixel ratio.
    int Width() const { return qRound(FSurface.deviceIndependentSize().width()); }

private:
    template <typename Paint>
    void WithPainter(Paint paint);
    void ApplyFigureState(QPainter& painter) const;
    void InvertOutline(const QRect& box);

    QImage& FSurface;
    std::unique_ptr<QPainter> FPainter;
    int FLockCount = 0;
    int FSaveCount = 0;
    int FSavedPenWidth = 1;
    QColor FSavedPenColor;
    QColor FSavedBrushColor;
};

// Save and Restore around a scope, also when it fails.
class TCanvasSave {
public:
    explicit TCanvasSave(TCanvas& canvas) : FCanvas(canvas) { FCanvas.Save(); }
    ~TCanvasSave() { FCanvas.Restore(); }
    TCanvasSave(const TCanvasSave&) = delete;
    TCanvasSave& operator=(const TCanvasSave&) = delete;

private:
    TCanvas& FCanvas;
};
