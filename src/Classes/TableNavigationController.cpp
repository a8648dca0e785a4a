#include "Classes/TableNavigationController.h"

#include "Classes/AppContext.h"
#include "Classes/BrowserLayout.h"
#include "DetailController.h"
#include "ExportView.h"
#include "TableViewController.h"

#include "platform/core/Bundle.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"

using ui::BarButtonSystemItem;

TableNavigationController::TableNavigationController(AppContext& context,
                                                     std::shared_ptr<ui::ViewController> rootViewController,
                                                     NoteModel& notes, std::shared_ptr<Playback> playback)
    : ui::NavigationController(std::move(rootViewController))
    , m_context(context)
    , m_notes(notes)
    , m_playback(std::move(playback))
    , m_notesWatch(notes.observe([this](const NoteModel::Change&) { storeMayHaveChangedSoon(); }))
    , m_playbackWatch(m_playback->observe([this](Playback::Event event) { showPlayback(event); }))
{
    setDelegate(this);
}

TableNavigationController::~TableNavigationController() = default;

std::shared_ptr<TableNavigationController> TableNavigationController::self()
{
    return std::static_pointer_cast<TableNavigationController>(shared_from_this());
}

void TableNavigationController::viewDidLoad()
{
    // What shows where a screen is shorter than the browser (while text is written).
    view()->setBackgroundColor(ui::Color::groupTableViewBackground());
    createToolbar();
    createButtons();
}

void TableNavigationController::createToolbar()
{
    m_toolbar = std::make_shared<ui::Toolbar>(BrowserLayout::kToolbarFrame);
    m_toolbar->setBarStyle(ui::BarStyle::BlackTranslucent);
    view()->addSubview(m_toolbar);

    m_infoButton = std::make_shared<ui::Button>(ui::ButtonType::InfoLight, kInfoButtonFrame);
    m_infoButton->setAccessibilityLabel(core::localizedString("Preferences"));
    m_infoButton->addTarget([this](ui::Control&) { toggleView(); }, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_infoButton);

    m_searchButton = std::make_shared<ui::Button>(ui::ButtonType::Custom, kSearchButtonFrame);
    m_searchButton->setImage(ui::Image::imageNamed("search.png"), ui::ControlState::Normal);
    m_searchButton->setAccessibilityLabel(core::localizedString("Search Notes"));
    m_searchButton->addTarget([this](ui::Control&) { openSearch(); }, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_searchButton);

    reloadLabel(true);
}

void TableNavigationController::openSearch()
{
    if (!m_tableViewController || topViewController().get() != m_tableViewController)
        return;
    if (!m_searchBar) {
        m_searchBar = std::make_shared<ui::View>(kSearchBarFrame);
        m_searchBar->setBackgroundColor(ui::Color::groupTableViewBackground());
        m_searchField = std::make_shared<ui::TextField>(kSearchFieldFrame);
        m_searchField->setPlaceholder(core::localizedString("Search Placeholder"));
        m_searchField->setAccessibilityLabel(core::localizedString("Search Notes"));
        m_searchField->setClearButtonShown(true);
        m_searchField->setBackgroundColor(ui::Color::white());
        m_searchField->on_textChanged = [this] {
            if (m_tableViewController && m_searchField)
                m_tableViewController->search(m_searchField->text());
        };
        // After the key: the field that heard it goes with the search.
        m_searchField->on_escape = [this] {
            m_context.runLoop().post([weak = std::weak_ptr<TableNavigationController>(self())] {
                if (auto browser = weak.lock())
                    browser->endSearch();
            });
        };
        // Return goes on to the first note found, for the arrows and Space.
        m_searchField->on_shouldReturn = [this] {
            auto& table = m_tableViewController->tableView();
            if (m_tableViewController->rowCount() > 0) {
                table.takeKeyboardFocus();
                table.setKeyboardRow({0, 0});
            }
            return true;
        };
        m_searchBar->addSubview(m_searchField);
        view()->addSubview(m_searchBar);
        m_tableViewController->tableView().setTopInset(kSearchBarFrame.height);
        m_tableViewController->prepareSearch();
    }
    m_searchField->becomeFirstResponder();
    // The field just added may not be in sight yet: it takes the keys once it is.
    m_searchField->takeKeyboardFocus();
}

void TableNavigationController::endSearch()
{
    if (!m_searchBar)
        return;
    m_searchBar->removeFromSuperview();
    m_searchBar.reset();
    m_searchField.reset();
    if (!m_tableViewController)
        return;
    m_tableViewController->tableView().setTopInset(0);
    m_tableViewController->search("");
    m_tableViewController->tableView().takeKeyboardFocus();
}

void TableNavigationController::reloadLabel(bool create)
{
    std::size_t count = m_notes.notes().size();
    std::string text = core::localizedString("Notes Label") + ": " + std::to_string(count);
    if (m_tableViewController && m_tableViewController->searching())
        text = core::localizedString("Found Label") + ": " + std::to_string(m_tableViewController->rowCount()) + " / "
            + std::to_string(count);
    if (!create) {
        if (m_statusLabel)
            m_statusLabel->setText(text);
        return;
    }
    m_statusLabel = std::make_shared<ui::Label>(kStatusLabelFrame);
    m_statusLabel->setTextAlignment(ui::TextAlignment::Center);
    m_statusLabel->setAdjustsFontSizeToFitWidth(true);
    m_statusLabel->setFont(ui::Font::systemFontOfSize(18));
    m_statusLabel->setTextColor(ui::Color::white());
    m_statusLabel->setText(text);
    view()->addSubview(m_statusLabel);
}

std::shared_ptr<ui::BarButtonItem> TableNavigationController::makePlayPauseButton()
{
    auto item = std::make_shared<ui::BarButtonItem>(m_currentSystemItem, [this](ui::BarButtonItem&) { select(); });
    // The trash deletes every note, not the one a reader was on.
    if (m_currentSystemItem == BarButtonSystemItem::Trash)
        item->setAccessibilityLabel(core::localizedString("Delete All Button"));
    return item;
}

void TableNavigationController::createButtons()
{
    m_playPauseButton = makePlayPauseButton();
    if (!m_toolbar)
        return;
    bool playback = m_currentSystemItem == BarButtonSystemItem::Play
        || m_currentSystemItem == BarButtonSystemItem::Pause;
    if (!playback) {
        if (m_slider)
            m_slider->removeFromSuperview();
        m_statusLabel->setHidden(false);
        m_toolbar->setItems({m_playPauseButton}, true);
        return;
    }
    if (!m_slider) {
        m_slider = std::make_shared<ui::Slider>(kSliderFrame);
        m_slider->setAccessibilityLabel(core::localizedString("Position"));
        m_slider->addTarget([this](ui::Control&) { sliderAction(); }, ui::ControlEvent::ValueChanged);
    }
    auto space = std::make_shared<ui::BarButtonItem>(BarButtonSystemItem::FlexibleSpace, nullptr);
    // Under the slider: out of sight, also to assistive technologies.
    m_statusLabel->setHidden(true);
    m_toolbar->setItems({m_playPauseButton, space}, true);
    view()->addSubview(m_slider);
}

void TableNavigationController::select()
{
    togglePlayback();
    if (m_currentSystemItem == BarButtonSystemItem::Trash) {
        auto sheet = std::make_shared<ui::ActionSheet>(core::localizedString("DeleteAll"), "Cancel", "OK");
        sheet->on_clickedButtonAtIndex = [this](ui::ModalPanel&, int index) { actionSheetClickedButtonAtIndex(index); };
        sheet->showFromToolbar(*m_toolbar);
        reloadLabel(false);
    }
}

void TableNavigationController::togglePlayback() { m_playback->togglePause(); }

void TableNavigationController::showPlayback(Playback::Event event)
{
    auto& application = ui::Application::sharedApplication();
    switch (event) {
    case Playback::Event::Started:
        m_currentSystemItem = BarButtonSystemItem::Pause;
        createButtons();
        if (m_slider)
            m_slider->setMaximumValue(float(m_playback->packets()));
        application.setProximitySensingEnabled(true);
        break;
    case Playback::Event::Paused:
    case Playback::Event::Resumed:
        m_currentSystemItem = m_playback->paused() ? BarButtonSystemItem::Play : BarButtonSystemItem::Pause;
        createButtons();
        break;
    case Playback::Event::Moved:
        if (m_slider)
            m_slider->setValue(float(m_playback->heard()));
        break;
    case Playback::Event::Ended:
        m_currentSystemItem = BarButtonSystemItem::FlexibleSpace;
        createButtons();
        application.setProximitySensingEnabled(false);
        break;
    }
}

void TableNavigationController::actionSheetClickedButtonAtIndex(int buttonIndex)
{
    if (buttonIndex != 0)
        return;
    m_notes.removeAll();
    if (m_tableViewController)
        m_tableViewController->loadView();
    // The count shown while the sheet asked is no longer true.
    reloadLabel(false);
}

void TableNavigationController::sliderAction()
{
    if (m_slider)
        m_playback->seek(m_slider->value());
}

void TableNavigationController::toggleView()
{
    if (auto owner = m_owner.lock())
        owner->toggleView();
}

void TableNavigationController::startRecording()
{
    if (auto owner = m_owner.lock())
        owner->startRecording();
}

bool TableNavigationController::isRecording() const
{
    auto owner = m_owner.lock();
    return owner && owner->isRecording();
}

bool TableNavigationController::showNotesList()
{
    auto owner = m_owner.lock();
    return owner && owner->showNotesList();
}

void TableNavigationController::showToolbarItem(ui::BarButtonSystemItem item)
{
    setCurrentSystemItem(item);
    createButtons();
}

void TableNavigationController::showDetails(const std::shared_ptr<DetailController>& detail)
{
    std::weak_ptr<TableNavigationController> weak = self();
    detail->on_export = [weak](const std::string& notePath, std::size_t index) {
        auto browser = weak.lock();
        if (!browser)
            return;
        browser->loadExportViewController(notePath);
        browser->m_exportView->setNoteID(index);
        browser->presentModalViewController(browser->m_exportView, true);
    };
    detail->on_noteGone = whenNoteGone();
    detail->setNavigationController(this);
    pushViewController(detail, true);
    setDetailViewController(detail);
    setToolbarElementsHidden(true);
    setWasDetailView(true);
}

void TableNavigationController::loadExportViewController(const std::string& notePath)
{
    m_exportView = std::make_shared<ExportView>(m_context, m_notes);
    // Before the view loads: its first rows show the note.
    m_exportView->setNotePath(notePath);
    m_exportView->on_noteGone = whenNoteGone();
    m_exportView->on_close = [weak = std::weak_ptr<TableNavigationController>(self())] {
        auto browser = weak.lock();
        if (!browser)
            return;
        // The toolbar's button without its trash: only a press on that
        // button asks to delete every note.
        browser->togglePlayback();
        browser->dismissModalViewControllerAnimated(true);
    };
    m_exportView->setExportController(m_exportController);
    m_exportView->view();
    m_exportView->startSearching();
}

std::function<void()> TableNavigationController::whenNoteGone()
{
    return [weak = std::weak_ptr<TableNavigationController>(self())] {
        if (auto browser = weak.lock())
            browser->noteDeletedElsewhere();
    };
}

void TableNavigationController::noteDeletedElsewhere()
{
    std::make_shared<ui::AlertView>(core::localizedString("Alert"), core::localizedString("Note Deleted Elsewhere"),
                                    "OK")
        ->show();
    if (modalViewController())
        dismissModalViewControllerAnimated(true);
    if (topViewController().get() != m_tableViewController)
        popViewControllerAnimated(true);
    if (m_tableViewController)
        m_tableViewController->reloadRows();
    reloadLabel(false);
}

// Whoever made the change: one made here may also bring what another
// process wrote just before. The list may be halfway through its own
// update, so it looks once that is done, once for all the changes told.
void TableNavigationController::storeMayHaveChangedSoon()
{
    if (m_storeCheckPosted)
        return;
    m_storeCheckPosted = true;
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    m_context.runLoop().post([weak] {
        if (auto self = std::static_pointer_cast<TableNavigationController>(weak.lock())) {
            self->m_storeCheckPosted = false;
            self->storeMayHaveChanged();
        }
    });
}

void TableNavigationController::storeMayHaveChanged()
{
    if (m_tableViewController)
        m_tableViewController->storeMayHaveChanged();
    std::string shown;
    if (auto detail = std::dynamic_pointer_cast<DetailController>(topViewController()))
        shown = detail->notePath();
    // An upload under way finishes: it has the file open already.
    if (m_exportView && modalViewController() == m_exportView && !m_exportView->sending())
        shown = m_exportView->notePath();
    if (!shown.empty() && !m_notes.storedNote(shown))
        noteDeletedElsewhere();
}

void TableNavigationController::setToolbarElementsHidden(bool hidden)
{
    for (ui::View* element :
         std::initializer_list<ui::View*>{m_toolbar.get(), m_statusLabel.get(), m_infoButton.get(), m_slider.get(),
                                          m_searchButton.get(), m_searchBar.get()}) {
        if (element)
            element->setHidden(hidden);
    }
}

void TableNavigationController::navigationControllerWillShowViewController(ui::NavigationController&,
                                                                           ui::ViewController& shown, bool)
{
    if (!m_wasDetailView)
        return;
    if (m_detailViewController && m_detailViewController->textView1())
        m_detailViewController->textView1()->removeFromSuperview();
    setToolbarElementsHidden(false);
    // Back at the list the details are closed: their note's alerts may fire.
    if (&shown == m_tableViewController)
        m_detailViewController.reset();
    if (m_tableViewController)
        m_tableViewController->reloadRows();
}

std::string TableNavigationController::openNotePath() const
{
    return m_detailViewController ? m_detailViewController->notePath() : std::string();
}
