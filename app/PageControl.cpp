#include "app/PageControl.h"

#include <QKeySequence>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>

namespace {

constexpr int kWidth = PageControl::kSize.width();
constexpr int kHeight = PageControl::kSize.height();

class FullWidthTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        return {kWidth, QTabBar::tabSizeHint(index).height()};
    }
};

} // namespace

PageControl::PageControl(QWidget *parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    tabBar_ = new FullWidthTabBar(this);
    tabBar_->setObjectName(QStringLiteral("PageControl1Tabs"));
    tabBar_->setUsesScrollButtons(false);
    tabBar_->setDrawBase(true);
    tabBar_->setFocusPolicy(Qt::NoFocus);
    tabBar_->addTab(QString());
    const int tabHeight = tabBar_->sizeHint().height();
    tabBar_->setGeometry(0, 0, kWidth, tabHeight);

    stack_ = new QStackedWidget(this);
    stack_->setFrameShape(QFrame::StyledPanel);
    stack_->setGeometry(0, tabHeight, kWidth, kHeight - tabHeight);
    for (int i = 0; i < 3; ++i) {
        pages_[i] = new QWidget(stack_);
        pages_[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        stack_->addWidget(pages_[i]);
    }

    connect(tabBar_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == 0) emit firstTabSelected();
    });
    // The keyboard's page switching cycles through the pages that have tabs: only page 1.
    for (const auto &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &PageControl::firstTabSelected);
    }
}

int PageControl::activePage() const
{
    return stack_->currentIndex();
}

void PageControl::setActivePage(int index)
{
    stack_->setCurrentIndex(index);
}

void PageControl::setExtraHeight(int extra)
{
    setFixedSize(kWidth, kHeight + extra);
    stack_->setGeometry(0, stack_->y(), kWidth, kHeight + extra - stack_->y());
}
