// The application: start-up, the command line and the objects that live for
// the whole run (the document and the main window).
#pragma once

#include <memory>

#include <QApplication>

#include "gui/user_prompts.h"

namespace mornax::gui {

class CMainFrame;
class CMornaxDoc;

class CMornaxApp : public QApplication {
  Q_OBJECT

 public:
  CMornaxApp(int& argc, char** argv);
  ~CMornaxApp() override;

  // Builds the document and the main window and carries out the command
  // line: no argument starts a new document, a file name opens it, "/p file"
  // prints it on the default printer and "/pt file printer" on the named
  // one (and then the program ends). False ends the program: a document on
  // the command line that cannot be opened, or a finished print verb.
  bool InitInstance();
  // The exit status when InitInstance returned false.
  int startupStatus() const { return startupStatus_; }

 private:
  QtPrompts prompts_;
  std::unique_ptr<CMornaxDoc> document_;
  std::unique_ptr<CMainFrame> frame_;
  int startupStatus_ = 0;
};

}  // namespace mornax::gui
