#pragma once

namespace varno {

class TForm1;
class TPropForm;
class TAboutForm;
class TOpeningForm;
class TStatusForm;
class TCmdLineForm;
class ModelBindings;
class ServerFleet;

// What the command line asked for beyond the settings location.
struct StartOptions {
    bool launchAfterLoad = false; // --launch: run the launch command once the stored settings are in
    bool lpbAfterLoad = false;    // --lpb: enable the ZOZ Idaroz once the stored settings are in
};

// The program's windows: each created once at start, in this order, and reachable from everywhere.
struct Forms {
    TForm1* Form1 = nullptr;
    TPropForm* PropForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TOpeningForm* OpeningForm = nullptr;
    TStatusForm* StatusForm = nullptr;
    TCmdLineForm* CmdLineForm = nullptr;
    StartOptions options;
    // Every server the panel knows, and the ties of the controls to the one the windows show and edit.
    ServerFleet* fleet = nullptr;
    ModelBindings* bindings = nullptr;
};

Forms& forms();

// Creates every window, hidden but for the main window when show is true.
void createForms(const StartOptions& options = {}, bool show = true);
void destroyForms();

} // namespace varno
