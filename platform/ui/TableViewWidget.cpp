#include "platform/ui/TableViewWidget.h"

#include "platform/ui/Font.h"
#include "platform/ui/QtConversions.h"
#include "platform/ui/TableView.h"

#include <QPainter>
#include <QWheelEvent>

namespace ui {

namespace {
constexpr double kWheelStep = 40;
constexpr double kSectionInset = 10;
constexpr double kTitleInset = 20;
} // namespace

TableViewWidget::TableViewWidget(TableView& table)
    : m_table(table)
{
}

void TableViewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    bool grouped = m_table.style() == TableViewStyle::Grouped;
    painter.fillRect(rect(), grouped ? toQColor(Color::groupTableViewBackground()) : QColor(Qt::white));
    double offset = m_table.contentOffset();
    for (const auto& section : m_table.m_sections) {
        if (grouped && section.footerTop > section.rowsTop) {
            QRectF rows(kSectionInset - 0.5, section.rowsTop - offset - 0.5, width() - 2 * kSectionInset + 1,
                        section.footerTop - section.rowsTop + 1);
            painter.setPen(QColor(170, 170, 176));
            painter.setBrush(Qt::white);
            painter.drawRoundedRect(rows, 8, 8);
        }
        paintTitle(painter, section.headerTop - offset, section.rowsTop - section.headerTop, section.header, true);
        paintTitle(painter, section.footerTop - offset, section.bottom - section.footerTop, section.footer, false);
    }
}

void TableViewWidget::paintTitle(QPainter& painter, double top, double height, const std::string& text, bool header)
{
    if (text.empty())
        return;
    painter.setPen(header ? QColor(77, 87, 107) : QColor(90, 96, 110));
    painter.setFont((header ? Font::boldSystemFontOfSize(17) : Font::systemFontOfSize(15)).toQFont());
    QRectF area(kTitleInset, top, width() - 2 * kTitleInset, height);
    Qt::Alignment alignment = header ? Qt::AlignLeft | Qt::AlignBottom : Qt::AlignHCenter | Qt::AlignVCenter;
    painter.drawText(area, int(alignment | Qt::TextWordWrap), QString::fromStdString(text));
}

void TableViewWidget::wheelEvent(QWheelEvent* event)
{
    if (!m_table.isScrollEnabled()) {
        event->ignore();
        return;
    }
    double delta = event->hasPixelDelta() ? event->pixelDelta().y() : event->angleDelta().y() / 120.0 * kWheelStep;
    m_table.setContentOffset(m_table.contentOffset() - delta);
    event->accept();
}

} // namespace ui
