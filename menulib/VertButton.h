#pragma once
// One panel of the panel menu: a caption button across the top, up to eight item
// buttons below it, and two small arrows that scroll the items when they do not fit.
#include "menulib/TirnavalGlobal.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

class CoolButton;
class QTimer;

class TIRNAVAL_EXPORT VertButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    static constexpr int MaxItems = 8;

    explicit VertButton(QWidget* parent = nullptr);
    ~VertButton() override;

    // False, changing nothing, when all eight item buttons are filled.
    bool AddButton(const QString& bCaption, const QString& bKey, const QPixmap& bImage,
                   const QString& ToolTip = QString());
    void SetMenu(const QString& mnTitle, const QString& mnKey);
    float CaptionHeight() const; // twips

    int ItemCount() const { return itemCount_; }
    float ScrollOffset() const { return scrollOffset_; } // twips, 0 or negative
    float ItemsHeight() const { return itemsHeight_; }   // twips
    bool isScrolling() const;

    QString Tag() const { return tag_; }
    void setTag(const QString& value) { tag_ = value; }

signals:
    void MaximizeMenu();
    void ButtonClick(const QString& ButtonKey);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    void ArrangeButtons();
    void cmdDown_Click();
    void cmdUp_Click();
    void scrollStep();

    CoolButton* btnCommand;
    std::array<CoolButton*, MaxItems> Button{};
    CoolButton* cmdUp;
    CoolButton* cmdDown;
    QTimer* scrollTimer_;

    int itemCount_ = 0;
    float scrollOffset_ = 0;
    float itemsHeight_ = 0;
    QString tag_;

    // Each arrow click is a run of timed steps; a click that comes while a run is
    // going is queued behind it, so every click still scrolls its full run.
    QList<int> pendingScrolls_; // +1 up, -1 down
    int scrollDirection_ = 0;
    int stepsLeft_ = 0;
};
