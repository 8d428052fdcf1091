#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

namespace wb {

void install_font_substitutions() {
  QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                                                    QStringLiteral("Noto Sans CJK SC")});
  QFont::insertSubstitutions(QStringLiteral("黑体"), {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                             {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("楷体"), {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("仿宋_GB2312"), {QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("DejaVu Serif")});
}

}  // namespace wb
