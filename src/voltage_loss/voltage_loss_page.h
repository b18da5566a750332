#pragma once

#include "pages/layout.h"

namespace korvane {

// Page 0 "线路电压损失计算": cable data, line kind and load case, the five load frames, the
// results and the page's buttons, with their design-time states.
void designVoltageLossPage(Form& form, Placement page);

// Check box and the two fields (load, distance) it switches, for each load of the multi-load
// frames: Check1..Check4 in Frame5, Check5..Check8 in Frame7, Check9..Check12 in Frame8.
struct LoadSwitch {
    const char* check;
    const char* load;
    const char* distance;
};
inline constexpr LoadSwitch kLoadSwitches[] = {
    {"Check1", "Text8", "Text10"},   {"Check2", "Text11", "Text12"},
    {"Check3", "Text13", "Text14"},  {"Check4", "Text15", "Text16"},
    {"Check5", "Text19", "Text20"},  {"Check6", "Text21", "Text22"},
    {"Check7", "Text23", "Text24"},  {"Check8", "Text25", "Text26"},
    {"Check9", "Text27", "Text28"},  {"Check10", "Text29", "Text30"},
    {"Check11", "Text31", "Text32"}, {"Check12", "Text33", "Text34"},
};

} // namespace korvane
