// A push button drawn by the program's skin instead of the platform style.
// It carries the command identifier of the layouts (`id()`), and a disabled
// button is drawn visibly greyed, never as a dead click.
#pragma once

#include <QAbstractButton>

class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Look {
        Tile,      // large square button: glyph above its caption
        Bar,       // wide rounded button with its caption
        Flat,      // dark grey with white text; light grey while pressed
        TitleIcon  // glyph on the dark title strip (minimise, close)
    };
    enum class Glyph { None, Measure, Load, Option, About, Minimize, Close, Connect, Disconnect };

    CSkinButton(int id, Look look, const QString& text, QWidget* parent = nullptr, Glyph glyph = Glyph::None);

    int id() const { return m_Id; }
    Look look() const { return m_Look; }
    void setGlyph(Glyph g)
    {
        m_Glyph = g;
        update();
    }
    // Places the button at (left, top, right, bottom) with the right and
    // bottom edges inclusive, as the layouts give them.
    void place(int left, int top, int right, int bottom);

signals:
    void command(int id);

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void paintGlyph(class QPainter& p, const QRectF& r, const QColor& c) const;
    int m_Id;
    Look m_Look;
    Glyph m_Glyph;
    bool m_Hover = false;
};
