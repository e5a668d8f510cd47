#include "board/DrawTool.h"

QString DrawToolName(TDrawTool tool)
{
    const QString hint = DrawToolHint(tool);
    return hint.left(hint.indexOf(u':')).trimmed();
}

QString DrawToolHint(TDrawTool tool)
{
    switch (tool) {
    case dt11:
        return QStringLiteral("띄움표");
    case dt12:
        return QStringLiteral("둠표(V자)");
    case dt14:
        return QStringLiteral("고침표: 틀린 글자나 내용을 바꿀 때");
    case dt15:
        return QStringLiteral("부호넣음표: 밑에 찍는 문장부호를 넣을 때");
    case dt16:
        return QStringLiteral("지움표: 필요 없는 내용을 지울 때");
    case dt17:
        return QStringLiteral("넣음표: 글자나 부호가 빠졌을 때");
    case dt18:
        return QStringLiteral("뺌표: 필요 없는 글자를 지울 때");
    case dt21:
        return QStringLiteral("살림표(동그라미)");
    case dt22:
        return QStringLiteral("붙임표: 붙여야 할 곳이 떨어져 있을 때");
    case dt23:
        return QStringLiteral("둠표(반달)");
    case dt24:
        return QStringLiteral("자리바꿈표: 글자, 단어의 앞뒤 순서를 바꿀 때");
    case dt25:
        return QStringLiteral("오른자리옮김표: 오른쪽으로 자리를 옮길 때");
    case dt26:
        return QStringLiteral("왼자리옮김표: 왼쪽으로 자리를 옮길 때");
    case dt27:
        return QStringLiteral("부분자리옮김표: 지시하는 부분만 자리를 옮길 때");
    case dt31:
        return QStringLiteral("줄바꿈표: 한 줄로 된 것을 두 줄로 바꿀 때");
    case dt32:
        return QStringLiteral("줄이음표: 두 줄로 된 것을 한 줄로 이을 때");
    case dt33:
        return QStringLiteral("줄비움표: 줄을 비울 필요가 있을 때");
    case dt34:
        return QStringLiteral("줄붙임표: 줄을 비울 필요가 없을 때");
    case dt35:
        return QStringLiteral("줄서로바꿈표: 윗줄과 아랫줄을 서로 바꿀 때");
    case dt41:
        return QStringLiteral("위치표시표");
    case dt42:
        return QStringLiteral("부호지움표: 잘못 적은 문장부호를 서로 바꿀 때");
    case dt43:
        return QStringLiteral("톱니표: 좀 더 간단히 써야 할 때");
    case dt44:
        return QStringLiteral("생각표: 말이 이상하고 뜻이 잘 통하지 않을 때");
    case dt45:
        return QStringLiteral("칭찬표: 표현이나 생각이 좋아 칭찬할 때");
    case dt46:
        return QStringLiteral("줄표");
    case dtText:
        return QStringLiteral("글입력");
    case dtNumber:
        return QStringLiteral("번호넣기: 번호를 써서 넣어 주세요");
    case dtLeft:
        return QStringLiteral("살림표(왼쪽 반원)");
    case dtRight:
        return QStringLiteral("둠표(오른쪽 반원)");
    default:
        return {};
    }
}

QString DrawnStrings(TDrawTool tool, const QString& strings)
{
    switch (tool) {
    case dt44:
        return QStringLiteral("?");
    case dt45:
        return QStringLiteral("◎");
    case dtText:
        return strings.isEmpty() ? QStringLiteral("input Text") : strings;
    case dtNumber:
        return strings.isEmpty() ? QStringLiteral("(1)") : strings;
    default:
        return strings;
    }
}
