// Help > Help Topics (F1): the guide names every part of the program a user
// meets, so that none is left to guessing.
#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QTextBrowser>

#include "gui/gui_test_support.h"
#include "gui/main_frame.h"
#include "gui/mornax_doc.h"

namespace mornax::gui {
namespace {

TEST(HelpTest, F1OpensAGuideThatCoversTheWholeProgram) {
  testing::GuiApp();
  testing::ScriptedPrompts prompts;
  CMornaxDoc document(prompts, &testing::RecordingEngine, EngineRunner::Thread::kCaller);
  CMainFrame frame(document);
  QAction* help = frame.findChild<QAction*>("actionHelpTopics");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->shortcuts().contains(QKeySequence(Qt::Key_F1)));
  help->trigger();
  auto* guide = frame.findChild<QTextBrowser*>("guide");
  ASSERT_NE(guide, nullptr);
  const QString text = guide->toPlainText();
  for (const char* topic :
       {"Result Map", "Map Style", "Blanking", "Export Picture", "dots per inch", "Edit > Copy",
        "Use fitted model", "New from Data File", "search field", "Find Next"}) {
    EXPECT_TRUE(text.contains(topic)) << topic;
  }
}

}  // namespace
}  // namespace mornax::gui
