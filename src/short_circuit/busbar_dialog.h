#pragma once

namespace korvane {

class PageServices;
class Form;

// MXForm9 "MX⊙": the LV busbar chosen by material and size, and its length; the
// impedances go to the main window as soon as a size is chosen, the length as soon as it
// is picked, the material and size names only on "确 定". Opening it starts from the
// row and length the main window holds, else from the first rows and 1 m.
void designBusbarDialog(PageServices& app, Form& form);

} // namespace korvane
