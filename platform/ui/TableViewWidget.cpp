#include "platform/ui/TableViewWidget.h"

#include "platform/ui/QtConversions.h"
#include "platform/ui/TableView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace ui {

namespace {
constexpr double kWheelStep = 40;
constexpr double kSectionInset = 10;
} // namespace

namespace {
constexpr int kScrollBarWidth = 10;
}

TableViewWidget::TableViewWidget(TableView& table)
    : m_table(table)
    , m_scrollBar(new QScrollBar(Qt::Vertical, this))
{
    // One stop in the Tab order; the arrows move within.
    setFocusPolicy(Qt::StrongFocus);
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->setAccessibleName(QStringLiteral("Scroll"));
    m_scrollBar->hide();
    QObject::connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != int(m_table.contentOffset()))
            m_table.setContentOffset(value);
    });
}

void TableViewWidget::updateScrollBar()
{
    int maximum = int(m_table.maximumOffset());
    m_scrollBar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    m_scrollBar->setRange(0, maximum);
    m_scrollBar->setPageStep(height());
    m_scrollBar->setSingleStep(int(m_table.rowHeight()));
    m_scrollBar->setValue(int(m_table.contentOffset()));
    m_scrollBar->setVisible(maximum > 0);
    // Above the rows, which come and go as the table scrolls.
    m_scrollBar->raise();
}

void TableViewWidget::keyPressEvent(QKeyEvent* event)
{
    bool used = false;
    bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && event->key() == Qt::Key_Up)
        used = m_table.moveKeyboardRow(-1);
    else if (plain && event->key() == Qt::Key_Down)
        used = m_table.moveKeyboardRow(1);
    else if (plain
             && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space))
        used = m_table.activateKeyboardRow();
    if (used)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

// The ring shows only while the keyboard is here.
void TableViewWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_table.showKeyboardRow();
}

void TableViewWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_table.showKeyboardRow();
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
    }
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
