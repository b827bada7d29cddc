#include "menulib/Tirnavex.h"

#include "menulib/Server.h"
#include "menulib/Twips.h"
#include "menulib/VertButton.h"

#include <QTimer>

#include <cmath>

namespace {

// The slide moves every panel one twip per pass and lets the window repaint every 15
// passes (one pixel at 96 DPI). A tick runs eight such batches every 10 ms.
constexpr int kPassesPerBatch = 15;
constexpr int kBatchesPerTick = 8;
constexpr int kSlideTickMs = 10;

} // namespace

Tirnavex::Tirnavex(QWidget* parent) : QWidget(parent)
{
    tirnaval::server::objectCreated();
    for (int i = 0; i < MaxPanels; ++i) {
        VertPanel[i] = new VertButton(this);
        VertPanel[i]->setObjectName(QStringLiteral("VertPanel_%1").arg(i));
        VertPanel[i]->hide();
        connect(VertPanel[i], &VertButton::MaximizeMenu, this, [this, i] { OpenPanel(i); });
        connect(VertPanel[i], &VertButton::ButtonClick, this,
                [this, i](const QString& key) { emit ButtonClick(VertPanel[i]->Tag(), key); });
    }
    slideTimer_ = new QTimer(this);
    slideTimer_->setInterval(kSlideTickMs);
    connect(slideTimer_, &QTimer::timeout, this, &Tirnavex::slideTick);
    resize(tirnaval::twips::toPixels(1800), tirnaval::twips::toPixels(6000));
}

Tirnavex::~Tirnavex() { tirnaval::server::objectDestroyed(); }

bool Tirnavex::AddPanel(const QString& PanelCaption, const QString& PanelKey)
{
    if (panelCount_ >= MaxPanels)
        return false;
    VertButton* panel = VertPanel[panelCount_];
    panel->SetMenu(PanelCaption, PanelKey);
    panel->setTag(PanelKey);
    panel->show();
    ++panelCount_;
    Layout();
    return true;
}

bool Tirnavex::AddButton(const QString& mnKey, const QString& bCaption, const QString& bKey,
                         const QPixmap& bImage, const QString& ToolTip)
{
    for (int i = 0; i < panelCount_; ++i) {
        if (VertPanel[i]->Tag() == mnKey)
            return VertPanel[i]->AddButton(bCaption, bKey, bImage, ToolTip);
    }
    return true;
}

bool Tirnavex::isSliding() const { return slidingTo_ >= 0; }

void Tirnavex::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

int Tirnavex::captionHeight() const { return int(std::lround(VertPanel[0]->CaptionHeight())); }

int Tirnavex::bodyHeight() const
{
    const int bar = int(std::lround(tirnaval::twips::fromPixels(height())));
    return bar - (panelCount_ - 1) * captionHeight();
}

void Tirnavex::place(int index)
{
    using tirnaval::twips::toPixels;
    VertPanel[index]->setGeometry(0, toPixels(top_[index]), width(), toPixels(bodyHeight()));
}

void Tirnavex::Layout()
{
    if (panelCount_ == 0)
        return;
    if (isSliding()) {
        // A resize or a new panel while sliding: the slide heads for the new places
        // instead of ending where the old size would have put the panels.
        computeTargets();
        for (int i = 0; i < panelCount_; ++i) {
            if (i >= placed_)
                top_[i] = target_[i];
            place(i);
        }
        placed_ = panelCount_;
        return;
    }
    const int body = bodyHeight();
    const int caption = captionHeight();
    int y = 0;
    for (int i = 0; i < panelCount_; ++i) {
        top_[i] = y;
        place(i);
        y += i == openIndex_ ? body : caption;
    }
    placed_ = panelCount_;
}

void Tirnavex::computeTargets()
{
    const int body = bodyHeight();
    const int caption = captionHeight();
    for (int i = 0; i < panelCount_; ++i)
        target_[i] = i <= slidingTo_ ? i * caption : body + (i - 1) * caption;
}

void Tirnavex::OpenPanel(int index)
{
    if (isSliding()) {
        pendingOpens_.append(index);
        return;
    }
    if (index == openIndex_) {
        emit MenuClick(VertPanel[index]->Tag());
        return;
    }
    slidingTo_ = index;
    computeTargets();
    slideTimer_->start();
}

// One pass: every panel not at its target moves one twip toward it.
bool Tirnavex::slidePass()
{
    bool moved = false;
    for (int i = 0; i < panelCount_; ++i) {
        if (top_[i] == target_[i])
            continue;
        top_[i] += top_[i] < target_[i] ? 1 : -1;
        moved = true;
    }
    return moved;
}

void Tirnavex::slideTick()
{
    bool moved = true;
    for (int pass = 0; moved && pass < kPassesPerBatch * kBatchesPerTick; ++pass)
        moved = slidePass();
    for (int i = 0; i < panelCount_; ++i)
        place(i);
    if (moved)
        return;

    slideTimer_->stop();
    openIndex_ = slidingTo_;
    slidingTo_ = -1;
    emit MenuClick(VertPanel[openIndex_]->Tag());
    while (!isSliding() && !pendingOpens_.isEmpty())
        OpenPanel(pendingOpens_.takeFirst());
}
