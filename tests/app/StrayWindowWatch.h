#pragma once

#include <QObject>

#include <string>
#include <vector>

// Watches every window the toolkit shows while it exists: anything shown
// as a window of its own other than the application's window, a dialog,
// a menu or a tooltip is a view that lost its place in the window.
class StrayWindowWatch : public QObject {
public:
    StrayWindowWatch();
    ~StrayWindowWatch() override;

    // "ClassName 250x30 "accessible name"" for each stray shown so far.
    const std::vector<std::string>& strays() const { return m_strays; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> m_strays;
};
