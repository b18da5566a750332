#pragma once

namespace korvane {

class Application;
class Form;

// Page 2: the pickers of K, Rphp and the leakage current.
void installVerificationPage(Application& app, Form& form);

} // namespace korvane
