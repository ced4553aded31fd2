#include "gui/mornax_app.h"

int main(int argc, char** argv) {
  mornax::gui::CMornaxApp app(argc, argv);
  if (!app.InitInstance()) return app.startupStatus();
  return app.exec();
}
