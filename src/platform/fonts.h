// The Chinese font faces the pages and charts name, mapped onto the fonts installed here.
#pragma once

namespace wb {
// 宋体 -> AR PL UMing CN, 黑体 -> Noto Sans CJK SC, 楷体_GB2312 -> AR PL UKai CN (with fallbacks).
void install_font_substitutions();
}  // namespace wb
