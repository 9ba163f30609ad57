// The program's windows in their creation order, wired to each other; all
// live as long as this object.
#pragma once

#include "program/app_state.h"
#include "windows/Unit_afich.h"
#include "windows/Unit_carte.h"
#include "windows/Unit_centre.h"
#include "windows/Unit_message.h"
#include "windows/orvane_Unit1.h"

namespace karvel {

struct ProgramWindows {
    ProgramWindows(AppState& state, Dialogs& dialogs)
        : form(state, dialogs),
          carte(state, dialogs),
          afich(state, dialogs, &carte),
          centre(state, &carte),
          message(&form) {
        form.set_windows(&carte, &afich, &centre, &message);
        carte.set_windows(&afich, &centre);
    }
    TForm1 form;
    TForm_carte carte;
    TForm_afich afich;
    TForm_centre centre;
    TForm_message message;
};

}  // namespace karvel
