#include "gui/help_window.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace mornax::gui {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle("mornax Help");
  setModal(false);
  auto* browser = new QTextBrowser(this);
  browser->setObjectName("guide");
  browser->setSource(QUrl("qrc:/help/guide.html"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser);
  layout->addWidget(buttons);
  resize(640, 560);
}

}  // namespace mornax::gui
