#include "gui/file_lines.h"

#include <algorithm>
#include <cstring>

namespace mornax::gui {
namespace {

// A listed line holds at most 99 characters; a longer line arrives in pieces.
constexpr qint64 kPiece = 99;
constexpr qint64 kCacheBytes = 64 * 1024;
constexpr qint64 kSearchBlock = 1 << 20;

QString ListEntry(QByteArray piece) {
  if (piece.endsWith('\n')) {
    piece.chop(1);
    if (piece.endsWith('\r')) piece.chop(1);
    piece.append(' ');
  }
  return QString::fromUtf8(piece);
}

}  // namespace

FileLines::FileLines(QObject* parent) : QAbstractListModel(parent) {}

void FileLines::Clear() {
  beginResetModel();
  file_.close();
  starts_.clear();
  indexed_ = 0;
  pieceStart_ = 0;
  complete_ = true;
  cacheOffset_ = -1;
  cache_.clear();
  endResetModel();
}

FileLines::Status FileLines::Open(const QString& name) {
  Clear();
  file_.setFileName(name);
  // Read access is all a viewer needs: a read-only file is listed.
  if (!file_.open(QIODevice::ReadOnly)) return Status::kNotFound;
  complete_ = false;
  return Status::kOk;
}

FileLines::Status FileLines::IndexMore(qint64 bytes) {
  if (complete_) return Status::kOk;
  std::vector<qint64> found;
  Status status = Status::kOk;
  const qint64 end = indexed_ + bytes;
  while (indexed_ < end) {
    if (!file_.seek(indexed_)) {
      status = Status::kReadError;
      break;
    }
    const QByteArray block = file_.read(std::min<qint64>(kSearchBlock, end - indexed_));
    if (block.isEmpty()) {
      if (file_.error() != QFileDevice::NoError) status = Status::kReadError;
      // End of file: a last line without a line end is a line too.
      if (pieceStart_ < indexed_) found.push_back(pieceStart_);
      complete_ = true;
      break;
    }
    // A piece ends after its line end or after 99 characters; a piece of 99
    // characters whose next character ends the line leaves that line end as
    // a piece of its own (as a 100-character line buffer reads it).
    const char* const data = block.constData();
    qint64 at = indexed_;
    const qint64 blockEnd = indexed_ + block.size();
    while (at < blockEnd) {
      const qint64 pieceEnd = std::min(pieceStart_ + kPiece, blockEnd);
      const void* newline = std::memchr(data + (at - indexed_), '\n', pieceEnd - at);
      if (newline != nullptr) {
        at = indexed_ + (static_cast<const char*>(newline) - data) + 1;
      } else if (pieceEnd == pieceStart_ + kPiece) {
        at = pieceEnd;
      } else {
        at = blockEnd;  // the piece goes on in the next block
        break;
      }
      found.push_back(pieceStart_);
      pieceStart_ = at;
    }
    indexed_ += block.size();
  }
  const auto room = static_cast<std::size_t>(kMaxLines) - starts_.size();
  if (found.size() > room) {
    found.resize(room);
    status = Status::kTooLong;
  }
  if (status != Status::kOk) complete_ = true;
  if (!found.empty()) {
    const int first = static_cast<int>(starts_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(found.size()) - 1);
    starts_.insert(starts_.end(), found.begin(), found.end());
    endInsertRows();
  }
  return status;
}

QByteArray FileLines::Read(qint64 offset, qint64 length) const {
  if (cacheOffset_ < 0 || offset < cacheOffset_ || offset + length > cacheOffset_ + cache_.size()) {
    if (!file_.seek(offset)) return {};
    cache_ = file_.read(std::max(length, kCacheBytes));
    cacheOffset_ = offset;
  }
  return cache_.mid(offset - cacheOffset_, length);
}

QString FileLines::Line(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  const qint64 start = starts_[static_cast<std::size_t>(row)];
  // The last listed line ends where the next one will start, or at the end
  // of the file when it has no line end.
  const qint64 next = static_cast<std::size_t>(row) + 1 < starts_.size()
                          ? starts_[static_cast<std::size_t>(row) + 1]
                          : (pieceStart_ > start ? pieceStart_ : indexed_);
  return ListEntry(Read(start, next - start));
}

int FileLines::Find(const QString& text, int from) const {
  const int rows = rowCount();
  if (text.isEmpty() || rows == 0) return -1;
  from = from >= 0 && from < rows ? from : 0;
  // The file is searched block by block as bytes (ASCII letters in either
  // case), not line by line as text: a million lines take a moment, not a
  // second. A match must lie within one listed line.
  const QByteArray needle = text.toUtf8().toLower();
  const auto rowAt = [this](qint64 offset) {
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                            starts_.begin()) -
           1;
  };
  const auto endOf = [this, rows](int row) {
    return row + 1 < rows ? starts_[static_cast<std::size_t>(row) + 1]
                          : std::max(pieceStart_, starts_.back());
  };
  const auto search = [&](qint64 begin, qint64 end) -> int {
    for (qint64 offset = begin; offset < end;) {
      const qint64 length = std::min(kSearchBlock + needle.size(), end - offset);
      if (!file_.seek(offset)) return -1;
      const QByteArray block = file_.read(length).toLower();
      if (block.isEmpty()) return -1;
      for (qsizetype at = block.indexOf(needle); at >= 0; at = block.indexOf(needle, at + 1)) {
        const int row = rowAt(offset + at);
        if (offset + at + needle.size() <= endOf(row)) return row;
      }
      offset += std::max<qint64>(1, block.size() - needle.size() + 1);
    }
    return -1;
  };
  const qint64 start = starts_[static_cast<std::size_t>(from)];
  const qint64 last = endOf(rows - 1);
  const int below = search(start, last);
  return below >= 0 ? below : search(0, start);
}

int FileLines::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(starts_.size());
}

QVariant FileLines::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  return Line(index.row());
}

}  // namespace mornax::gui
