#pragma once

#include <QWidget>

class QToolButton;

namespace rt {

// The spinner: a pair of arrow buttons over a whole number. Value stays within Min and
// Max; an arrow step past an end stops there, or with Wrap goes round to the other end.
// Change follows every change of Value, by the user or by code, and not a step that
// leaves Value as it was.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);
    UpDown(const QString& name, QWidget* parent);

    int Value() const { return m_value; }
    // Clamped to Min..Max.
    void setValue(int value);
    int Min() const { return m_min; }
    void setMin(int value);
    int Max() const { return m_max; }
    void setMax(int value);
    int Increment() const { return m_increment; }
    void setIncrement(int value) { m_increment = value; }
    bool Wrap() const { return m_wrap; }
    void setWrap(bool value) { m_wrap = value; }

    // What a click on the upper and on the lower arrow does.
    void stepUp();
    void stepDown();

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    QSize sizeHint() const override;

signals:
    void Change();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void step(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_value = 0;
    int m_min = 0;
    int m_max = 10;
    int m_increment = 1;
    bool m_wrap = false;
};

} // namespace rt
