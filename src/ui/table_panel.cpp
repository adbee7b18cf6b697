#include "ui/table_panel.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "model/workspace.h"
#include "ops/draw_table.h"
#include "ops/new_sheet.h"

namespace quillaro {

namespace {

constexpr const char* kNewSheetCaptions[4] = {
    "Создать новый лист A4", "Создать новый лист A4 альбомной ориентации", "Создать новый лист A5",
    "Создать новый лист A5 альбомной ориентации"};

}  // namespace

TablePanel::TablePanel(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName(QStringLiteral("TableButtons"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  auto* draw = new QPushButton(QStringLiteral("Нарисовать таблицу"));
  draw->setObjectName(QStringLiteral("ComTableCreate"));
  draw->setToolTip(QStringLiteral("Нарисовать таблицу (линии) - клавиши \"1\", \"T\""));
  connect(draw, &QPushButton::clicked, this, [this] { drawTable(ws_); });
  v->addWidget(draw);
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(kNewSheetCaptions[i]));
    b->setObjectName(QStringLiteral("ComCreateBM_%1").arg(i));
    b->setToolTip(QStringLiteral("Заменить рисунок чистым белым листом этого формата"));
    connect(b, &QPushButton::clicked, this, [this, i] { newSheet(ws_, i, false); });
    v->addWidget(b);
  }
}

}  // namespace quillaro
