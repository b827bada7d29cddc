#pragma once
// The panel menu: a vertical bar of up to three stacked panels. One panel is open,
// its items below its caption; the captions of the panels after it stand at the
// bottom. A click on a caption slides the panels until that panel is open.
#include "menulib/TirnavalGlobal.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

class QTimer;
class VertButton;

class TIRNAVAL_EXPORT Tirnavex : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxPanels = 3;

    explicit Tirnavex(QWidget* parent = nullptr);
    ~Tirnavex() override;

    // False, changing nothing, when all three panels are filled.
    Q_INVOKABLE bool AddPanel(const QString& PanelCaption, const QString& PanelKey);
    // Adds to the first panel whose key is mnKey; with no such panel nothing happens
    // (true). False, changing nothing, when that panel has all its items.
    Q_INVOKABLE bool AddButton(const QString& mnKey, const QString& bCaption, const QString& bKey,
                               const QPixmap& bImage, const QString& ToolTip);

    int PanelCount() const { return panelCount_; }
    int OpenIndex() const { return openIndex_; }
    bool isSliding() const;

signals:
    void ButtonClick(const QString& MenuKey, const QString& ButtonKey);
    void MenuClick(const QString& MenuKey);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    void OpenPanel(int index);
    void computeTargets();
    bool slidePass();
    void slideTick();
    void place(int index);
    int captionHeight() const; // twips, of the first panel
    int bodyHeight() const;    // twips

    std::array<VertButton*, MaxPanels> VertPanel{};
    int panelCount_ = 0;
    int openIndex_ = 0;

    // Tops in whole twips, the unit the slide moves by; pixels only when placed.
    std::array<int, MaxPanels> top_{};
    std::array<int, MaxPanels> target_{};
    int placed_ = 0;     // panels that have had a place; a later one has none yet
    int slidingTo_ = -1; // the panel being opened, -1 when no slide runs
    QTimer* slideTimer_;
    // Caption clicks during a slide are opened one after the other when it ends.
    QList<int> pendingOpens_;
};
