#pragma once

namespace korvane {

class PageServices;
class Form;

// MXForm9 "MX⊙": the LV busbar chosen by material and specification, and its length; the
// impedances go to the main window as soon as a specification is chosen, the length as soon as it
// is picked, the material and specification names only on "确 定". Opening it starts from the
// row and length the main window holds, else from the first rows and 1 m.
void designBusbarDialog(PageServices& app, Form& form);

} // namespace korvane
