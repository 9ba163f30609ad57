// The temporary files of the file output, and the stop signals: a signal
// removes the temporary files that exist and ends the program as it wants,
// but waits while files change (StopSignalsHeld), in whichever thread it
// arrives.
#pragma once

#include <signal.h>

#include <string>

namespace karvel {

// The stop signals held back for the object's lifetime: a name is never
// between created and registered, and the files of a commit are never
// between old and new, when one is acted on. The thread that holds them
// blocks them; a handler run by another thread only notes the signal,
// which is acted on when the last holder is done.
class StopSignalsHeld {
  public:
    StopSignalsHeld();
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

  private:
    sigset_t old_;
};

// A temporary file a signal removes, from now on, until it is forgotten.
void remember_temp(const std::string& name);
void forget_temp(const std::string& name);
// Removes a temporary file that is still ours, and forgets it.
void drop_temp(std::string& name);

}  // namespace karvel
