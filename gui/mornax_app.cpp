#include "gui/mornax_app.h"

#include <QIcon>

#include "gui/command_line.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"

namespace mornax::gui {

CMornaxApp::CMornaxApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName("mornax");
  setApplicationName("mornax");
  setWindowIcon(QIcon(":/icons/mornax.png"));
  // The main window ends the program itself; windows without an owner must
  // not keep it running.
  setQuitOnLastWindowClosed(false);
}

CMornaxApp::~CMornaxApp() {
  frame_.reset();
  document_.reset();
}

bool CMornaxApp::InitInstance() {
  document_ = std::make_unique<CMornaxDoc>(prompts_);
  frame_ = std::make_unique<CMainFrame>(*document_);

  const CommandLine line = ParseCommandLine(arguments());
  if (line.fileName.isEmpty()) {
    document_->OnNewDocument();
  } else if (!frame_->OpenDocumentFile(line.fileName)) {
    startupStatus_ = 1;
    return false;
  }
  if (line.action == CommandLine::Action::kPrint || line.action == CommandLine::Action::kPrintTo) {
    // The print verb has no window to show its result in: a failure ends
    // the program with status 1.
    if (!frame_->PrintDirect(line.printerName)) startupStatus_ = 1;
    return false;
  }
  frame_->show();
  return true;
}

}  // namespace mornax::gui
