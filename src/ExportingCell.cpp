#include "ExportingCell.h"

#include "NoteCellViews.h"

#include "platform/core/Bundle.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

void ExportingCell::createIcon()
{
    if (m_superIconView)
        m_superIconView->removeFromSuperview();
    auto icon = NoteCellViews::makeIcon(contentView(), m_noteObject);
    m_superIconView = icon.container;
    m_imageViewDefault = icon.image;
}

void ExportingCell::createLabels()
{
    auto labels = NoteCellViews::makeLabels(contentView(), m_noteObject, 205);
    m_titleLabel = labels.title;
    setAccessibilityLabel(NoteCellViews::accessibilityLabel(m_noteObject, labels));
}

bool ExportingCell::showsSecondFace() const { return m_imageViewPlaying && m_imageViewPlaying->superview(); }

void ExportingCell::flip()
{
    if (m_superIconView)
        NoteCellViews::flip(*m_superIconView, *m_imageViewDefault, *m_imageViewPlaying);
}

void ExportingCell::toggleSend()
{
    if (!m_imageViewPlaying) {
        m_imageViewPlaying = NoteCellViews::makeImageView("exporting.png");
        auto indicator = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::Gray);
        double size = ui::ActivityIndicatorView::kSize;
        indicator->setFrame(ui::Rect{kIndicatorCentre.x - size / 2, kIndicatorCentre.y - size / 2, size, size});
        indicator->startAnimating();
        m_imageViewPlaying->addSubview(indicator);

        m_sendingLabel = std::make_shared<ui::Label>(kSendingLabelFrame);
        m_sendingLabel->setTextColor(ui::Color{0.33, 0.33, 0.33, 1});
        m_sendingLabel->setFont(ui::Font::systemFontOfSize(12));
        m_sendingLabel->setAdjustsFontSizeToFitWidth(true);
        m_sendingLabel->setText(core::localizedString("Connecting"));
        m_imageViewPlaying->addSubview(m_sendingLabel);
    }
    flip();
}

void ExportingCell::toggleIcon()
{
    if (!m_imageViewPlaying)
        m_imageViewPlaying = NoteCellViews::makeImageView("playing.png");
    flip();
}

void ExportingCell::changeText(bool inClear)
{
    if (m_sendingLabel)
        m_sendingLabel->setText(core::localizedString(inClear ? "SendingInClear" : "SendingTitle"));
}

void ExportingCell::setEditing(bool editing, bool animated)
{
    ui::TableViewCell::setEditing(editing, animated);
    setAccessoryType(editing ? ui::TableViewCellAccessoryType::DisclosureIndicator
                             : ui::TableViewCellAccessoryType::None);
}
