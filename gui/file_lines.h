// The lines of a text file for the file viewer, read lazily: the file is
// indexed in slices (where each listed line starts) and a line's text is read
// only when the list shows it, so that a result file of a million lines
// opens at once and the program answers while the rest is indexed.
#pragma once

#include <QAbstractListModel>
#include <QFile>
#include <QString>

#include <vector>

namespace mornax::gui {

class FileLines : public QAbstractListModel {
  Q_OBJECT

 public:
  enum class Status { kOk, kNotFound, kReadError, kTooLong };

  // Lines of one file listed at most.
  static constexpr qsizetype kMaxLines = 20'000'000;

  explicit FileLines(QObject* parent = nullptr);

  // Empties the list and opens `name` for reading; nothing is indexed yet.
  Status Open(const QString& name);
  void Clear();
  // Indexes up to `bytes` more of the file. kTooLong or kReadError stop the
  // indexing (the lines found so far stay).
  Status IndexMore(qint64 bytes);
  bool complete() const { return complete_; }

  // The listed text of line `row`: a piece of at most 99 characters, the line
  // end (LF or CR LF) shown as one blank.
  QString Line(int row) const;
  // The first line from `from` on (wrapping round to the top) whose text
  // holds `text`, ignoring case; -1 when none does.
  int Find(const QString& text, int from) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // Reads `length` bytes at `offset` through a small cache, so that painting
  // neighbouring lines costs one read.
  QByteArray Read(qint64 offset, qint64 length) const;

  mutable QFile file_;
  std::vector<qint64> starts_;  // the offset of every listed line
  qint64 indexed_ = 0;          // bytes looked at
  qint64 pieceStart_ = 0;       // start of the line being indexed
  bool complete_ = true;
  mutable qint64 cacheOffset_ = -1;
  mutable QByteArray cache_;
};

}  // namespace mornax::gui
