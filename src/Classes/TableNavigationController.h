#pragma once

#include "Classes/NoteModel.h"
#include "Classes/Playback.h"
#include "ListOwner.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {
class Button;
class Label;
class Slider;
class TextField;
class Toolbar;
} // namespace ui
class AppContext;
class DetailController;
class ExportView;
class ExportingController;
class TableViewController;

// The notes browser: a navigation controller whose root screen is the
// notes list, with a toolbar for playback (or deleting every note), a
// position slider, the notes count and the info button.
class TableNavigationController : public ui::NavigationController,
                                  public ui::NavigationControllerDelegate,
                                  public ListOwner {
public:
    static constexpr ui::Rect kInfoButtonFrame{300, 437, 15, 15};
    // Both short of the search button, which stays clear to click.
    static constexpr ui::Rect kStatusLabelFrame{35, 435, 232, 20};
    static constexpr ui::Rect kSliderFrame{35, 430, 232, 30};
    static constexpr ui::Rect kSearchButtonFrame{274, 436, 18, 18};
    // Over the list, under the navigation bar, while a search is open.
    static constexpr ui::Rect kSearchBarFrame{0, 44, 320, 40};
    static constexpr ui::Rect kSearchFieldFrame{10, 5, 300, 30};

    // Follows the changes to the notes, and the playback. The context and
    // the notes outlive it.
    TableNavigationController(AppContext& context, std::shared_ptr<ui::ViewController> rootViewController,
                              NoteModel& notes, std::shared_ptr<Playback> playback);
    ~TableNavigationController() override;

    void viewDidLoad() override;
    void createToolbar();
    void createButtons();
    void reloadLabel(bool create) override;
    // The toolbar button's action: plays or pauses, or in edit mode asks
    // whether to delete every note.
    void select();
    // Its play/pause part alone.
    void togglePlayback();
    void actionSheetClickedButtonAtIndex(int buttonIndex);
    void sliderAction();
    void toggleView() override;
    // Ctrl+F or the search button: the search field over the list, with
    // the keyboard in it.
    void openSearch();
    // Escape or a note to be shown: the field goes, every note shows again.
    void endSearch() override;
    ui::TextField* searchField() const { return m_searchField.get(); }
    ui::Button* searchButton() const { return m_searchButton.get(); }
    void startRecording() override;
    bool isRecording() const override;
    bool showNotesList() override;
    void showToolbarItem(ui::BarButtonSystemItem item) override;
    void showDetails(const std::shared_ptr<DetailController>& detail) override;
    // Makes the export screen for the detail editor's note.
    void loadExportViewController(const std::string& notePath);
    void navigationControllerWillShowViewController(ui::NavigationController& navigationController,
                                                    ui::ViewController& viewController, bool animated) override;

    // The screen the browser sits in; weak, as it owns the browser.
    void setOwner(std::weak_ptr<BrowserOwner> owner) { m_owner = std::move(owner); }
    TableViewController* tableViewController() const { return m_tableViewController; }
    void setTableViewController(TableViewController* controller) { m_tableViewController = controller; }

    Playback& playback() const { return *m_playback; }

    // What the toolbar's button shows.
    ui::BarButtonSystemItem currentSystemItem() const { return m_currentSystemItem; }
    void setCurrentSystemItem(ui::BarButtonSystemItem item) { m_currentSystemItem = item; }
    const std::shared_ptr<ui::BarButtonItem>& playPauseButton() const { return m_playPauseButton; }

    ui::Toolbar* toolbar() const { return m_toolbar.get(); }
    ui::Label* statusLabel() const { return m_statusLabel.get(); }
    ui::Button* infoButton() const { return m_infoButton.get(); }
    // Made at the first playback.
    ui::Slider* slider() const { return m_slider.get(); }

    const std::shared_ptr<ExportView>& exportView() const { return m_exportView; }
    // Set when this machine announces itself on the local network.
    const std::shared_ptr<ExportingController>& exportController() const { return m_exportController; }
    void setExportController(std::shared_ptr<ExportingController> controller)
    {
        m_exportController = std::move(controller);
    }

    bool wasDetailView() const { return m_wasDetailView; }
    void setWasDetailView(bool was) { m_wasDetailView = was; }
    const std::shared_ptr<DetailController>& detailViewController() const { return m_detailViewController; }
    void setDetailViewController(std::shared_ptr<DetailController> controller)
    {
        m_detailViewController = std::move(controller);
    }

    // The audio file of the note whose details are open (also under its
    // export screen); empty while the list shows.
    std::string openNotePath() const override;

    // The toolbar, status label, info button and slider, while a detail
    // screen is shown.
    void setToolbarElementsHidden(bool hidden);
    // A screen's note was deleted by another process: the person is told,
    // and the browser goes back to the list as the store has it now.
    void noteDeletedElsewhere() override;
    // Another process may have changed the store: the list follows it, and
    // an editor or export screen whose note has gone closes and says so.
    void storeMayHaveChanged();

private:
    std::shared_ptr<TableNavigationController> self();
    // For a screen shown here whose note went: what noteDeletedElsewhere() does.
    std::function<void()> whenNoteGone();
    std::shared_ptr<ui::BarButtonItem> makePlayPauseButton();
    // storeMayHaveChanged() at the run loop's next turn.
    void storeMayHaveChangedSoon();
    // The toolbar and the slider show the playback's state and place.
    void showPlayback(Playback::Event event);

    std::weak_ptr<BrowserOwner> m_owner;
    TableViewController* m_tableViewController = nullptr;
    std::shared_ptr<ui::BarButtonItem> m_playPauseButton;
    AppContext& m_context;
    NoteModel& m_notes;
    std::shared_ptr<Playback> m_playback;
    std::shared_ptr<ui::Label> m_statusLabel;
    std::shared_ptr<ui::Toolbar> m_toolbar;
    ui::BarButtonSystemItem m_currentSystemItem = ui::BarButtonSystemItem::FlexibleSpace;
    std::shared_ptr<ui::Button> m_infoButton;
    std::shared_ptr<ui::Button> m_searchButton;
    std::shared_ptr<ui::View> m_searchBar;
    std::shared_ptr<ui::TextField> m_searchField;
    bool m_wasDetailView = false;
    std::shared_ptr<DetailController> m_detailViewController;
    std::shared_ptr<ui::Slider> m_slider;
    std::shared_ptr<ExportView> m_exportView;
    std::shared_ptr<ExportingController> m_exportController;
    bool m_storeCheckPosted = false;
    core::Subscription m_notesWatch;
    core::Subscription m_playbackWatch;
};
