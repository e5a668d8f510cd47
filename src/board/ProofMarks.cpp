#include "board/ProofMarks.h"

const QList<TDrawTool>& ProofMarks()
{
    static const QList<TDrawTool> marks = [] {
        QList<TDrawTool> list;
        for (int tool = dt11; tool <= dt46; ++tool)
            list << TDrawTool(tool);
        list << dtLeft << dtRight;
        return list;
    }();
    return marks;
}

bool IsProofMark(int drawTool)
{
    return (drawTool >= dt11 && drawTool <= dt46) || drawTool == dtLeft || drawTool == dtRight;
}

QString ProofMarkName(TDrawTool tool)
{
    if (tool == dt13)
        return DrawToolName(dt12) + QStringLiteral(" 변형");
    return DrawToolName(tool);
}
