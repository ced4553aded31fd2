// Runs a computation whose model has terms the library's entry point cannot
// carry (an anisotropy, further structures): the same entry code in the
// program's own process, with an engine state of the run's own that holds the
// terms, reporting through a progress window like the library's (same lines,
// message boxes and Cancel).
#pragma once

#include "mornax.h"
#include "project/model_terms.h"

namespace mornax::gui {

// Called on a worker thread of the program (the window lives on the interface
// thread, whose event loop keeps turning) or on the interface thread itself;
// without an application it reports on the console. The project's files are
// found and written in the current directory, as the library does.
void RunWithTerms(int task, int method, int mode, FILENAME* fileName, SVAR* svar, FVAR* fvar,
                  IPL* ipl, const project::ModelTermsRecord* terms);

}  // namespace mornax::gui
