#include "gui/map/residual_table.h"

#include <cmath>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mornax::gui {
namespace {

// A cell that sorts by its number, not its text.
QTableWidgetItem* NumberItem(double value) {
  auto* item = new QTableWidgetItem;
  item->setData(Qt::DisplayRole, std::isfinite(value) ? QVariant(value) : QVariant("n/a"));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

ResidualTableView::ResidualTableView(QWidget* parent)
    : QWidget(parent), summary_(new QLabel(this)), table_(new QTableWidget(this)) {
  setObjectName("residualTable");
  summary_->setObjectName("residualSummary");
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({"x", "y", "Measured Z", "Estimated Z*", "Error Z*-Z"});
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(summary_);
  layout->addWidget(table_, 1);
}

void ResidualTableView::Show(const render::ResidualTable& residuals) {
  table_->setSortingEnabled(false);
  table_->setRowCount(static_cast<int>(residuals.rows.size()));
  int row = 0;
  for (const render::ResidualRow& r : residuals.rows) {
    int col = 0;
    for (double value : {r.x, r.y, r.measured, r.estimated, r.error}) {
      table_->setItem(row, col++, NumberItem(value));
    }
    ++row;
  }
  table_->setSortingEnabled(true);
  summary_->setText(QString("RMSE %1    mean error %2    %3 of %4 points")
                        .arg(residuals.rmse, 0, 'g', 6)
                        .arg(residuals.meanError, 0, 'g', 6)
                        .arg(residuals.counted)
                        .arg(residuals.rows.size()));
}

void ResidualTableView::Clear() {
  table_->setRowCount(0);
  summary_->clear();
}

QString ResidualTableView::summary() const {
  return summary_->text();
}

}  // namespace mornax::gui
