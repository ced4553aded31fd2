#include "gui/new_from_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <string>

#include "gui/mornax_doc.h"
#include "gui/user_prompts.h"
#include "project/project.h"

namespace mornax::gui {
namespace {

constexpr char kTitle[] = "New from Data File";

bool NameCharacter(QChar c) {
  return (c.isLetterOrNumber() && c.unicode() < 128) || c == '_' || c == '-';
}

// Copies `from` to `to` through a temporary file: an existing `to` stays as
// it was unless the copy is complete.
bool CopyWhole(const QString& from, const QString& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) return false;
  QSaveFile target(to);
  if (!target.open(QIODevice::WriteOnly)) return false;
  while (!source.atEnd()) {
    const QByteArray chunk = source.read(1 << 20);
    if (chunk.isEmpty() && source.error() != QFileDevice::NoError) return false;
    if (target.write(chunk) != chunk.size()) return false;
  }
  return target.commit();
}

}  // namespace

QString OfferedProjectName(const QString& dataFile) {
  QString name;
  for (const QChar c : QFileInfo(dataFile).completeBaseName()) {
    if (NameCharacter(c)) name.append(c);
  }
  name.truncate(project::kMaxBaseLength);
  return name.isEmpty() ? QString("PROJECT") : name;
}

QString ProjectNameProblem(const QString& name) {
  const bool plain = std::all_of(name.begin(), name.end(), NameCharacter);
  if (name.isEmpty() || name.size() > project::kMaxBaseLength || !plain) {
    return QString("A project name has 1 to %1 characters: letters, digits, _ and -.")
        .arg(project::kMaxBaseLength);
  }
  return {};
}

QString NewFromDataFile(CMornaxDoc& document, QWidget* parent) {
  UserPrompts& prompts = document.prompts();
  const QString data = prompts.AskDataFileName(parent);
  if (data.isEmpty()) return {};
  if (!QFileInfo(data).isFile()) {
    prompts.Inform(parent, QString("Cannot read data file %1!").arg(data));
    return {};
  }

  QString name = OfferedProjectName(data);
  for (;;) {
    name = prompts.AskText(parent, kTitle,
                           QString("Project name (1 to %1 characters; letters, digits, _ and -):")
                               .arg(project::kMaxBaseLength),
                           name);
    if (name.isEmpty()) return {};
    const QString problem = ProjectNameProblem(name);
    if (problem.isEmpty()) break;
    prompts.Inform(parent, problem);
  }

  const QString suggestion = QFileInfo(data).absoluteDir().filePath(name + ".mnx");
  const QString documentPath = prompts.AskSaveFileName(parent, suggestion);
  if (documentPath.isEmpty()) return {};
  // The name chosen in the file dialog counts; check it before any file is written.
  FILENAME record{};
  project::FileSet files;
  std::string error;
  if (!project::SetFileNames(QFileInfo(documentPath).fileName().toStdString(), record, files,
                             error)) {
    prompts.Inform(parent, QString::fromStdString(error));
    return {};
  }

  const QDir folder = QFileInfo(documentPath).absoluteDir();
  const QString target = folder.filePath(QString::fromStdString(files[project::kDfl]));
  const bool sameFile = QFileInfo(target).exists() && QFileInfo(target).canonicalFilePath() ==
                                                          QFileInfo(data).canonicalFilePath();
  if (!sameFile) {
    if (QFileInfo::exists(target) &&
        !prompts.AskYesNo(
            parent, QString("%1 already exists. Replace it with a copy of %2?")
                        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(data)))) {
      return {};
    }
    if (!CopyWhole(data, target)) {
      prompts.Inform(parent,
                     QString("Cannot copy %1 to %2!")
                         .arg(QDir::toNativeSeparators(data), QDir::toNativeSeparators(target)));
      return {};
    }
  }

  document.OnNewDocument();
  if (!document.OnSaveDocument(documentPath)) return {};
  return document.filePath();
}

}  // namespace mornax::gui
