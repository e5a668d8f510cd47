#pragma once

#include <QString>
#include <QtGlobal>

// The board's current tool and the kind of every item. The ordinal is what a stored
// correction keeps and what each palette button carries as its Tag; a stored ordinal
// above dtRight is kept as it is.
enum TDrawTool : quint8 {
    dtNone,
    dtSelect,
    dt11,
    dt12,
    dt13,
    dt14,
    dt15,
    dt16,
    dt17,
    dt18,
    dt21,
    dt22,
    dt23,
    dt24,
    dt25,
    dt26,
    dt27,
    dt31,
    dt32,
    dt33,
    dt34,
    dt35,
    dt41,
    dt42,
    dt43,
    dt44,
    dt45,
    dt46,
    dtText,
    dtNumber,
    dtLeft,
    dtRight,
};

// Tooltip and accessible name of the palette button that selects the tool, unique among
// the tools: the mark's name, then what it is for; empty for the tools without a button.
QString DrawToolHint(TDrawTool tool);
// The mark's name alone: the hint up to its colon ("지움표").
QString DrawToolName(TDrawTool tool);

// The text an item of the kind takes when it is drawn: dt44 and dt45 always show their
// sign, an empty note "input Text" and an empty number "(1)"; any other text stays.
QString DrawnStrings(TDrawTool tool, const QString& strings);
