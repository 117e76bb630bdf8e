#pragma once

#include <QSize>
#include <QWidget>

#include <array>

class QStackedWidget;
class QTabBar;

// The wizard's page control: three pages on one stack, of which only the first has a tab,
// one empty tab as wide as the control, so the tab strip is a plain band along the top.
// Selecting that tab, by the mouse or by the keyboard's page switching, shows page 1.
class PageControl : public QWidget {
    Q_OBJECT

public:
    // The control's size, which is the main window's client area.
    static constexpr QSize kSize{737, 425};

    explicit PageControl(QWidget *parent);

    QWidget *page(int index) const { return pages_[index]; }
    int activePage() const; // 0, 1 or 2
    void setActivePage(int index);
    QTabBar *tabBar() const { return tabBar_; }
    // Room below kSize for the results page's line of a method's own results; 0 for none.
    void setExtraHeight(int extra);

signals:
    void firstTabSelected();

private:
    QTabBar *tabBar_;
    QStackedWidget *stack_;
    std::array<QWidget *, 3> pages_{};
};
