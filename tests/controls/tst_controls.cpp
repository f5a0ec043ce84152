// Entry limits by characters and bytes; Enter on a focused button.
#include "WindowRecorder.h"
#include "controls/LimitedEdit.h"
#include "controls/SkinButton.h"
#include "messaging/WindowOps.h"

#include <QCheckBox>
#include <QSignalSpy>

#include <QtTest>

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void limitsCountCharactersAndBytes()
    {
        // 5 characters, 6 bytes: two Hangul syllables (3 bytes each) fill it.
        CLimitedEdit edit(5, 6);
        edit.show();
        TypeText(&edit, QString::fromUtf8("한글a"));
        QCOMPARE(edit.text(), QString::fromUtf8("한글"));
        edit.clear();
        QTest::keyClicks(&edit, "abcdefg");
        QCOMPARE(edit.text(), QString("abcde"));
        // A character outside the basic plane counts once, with its 4 bytes.
        edit.clear();
        TypeText(&edit, QString::fromUtf8("😀a"));
        QTest::keyClicks(&edit, "bc");
        QCOMPARE(edit.text(), QString::fromUtf8("😀ab"));
        QCOMPARE(edit.utf8(), std::string("😀ab"));

        // Pasted text over the limit is refused as a whole, never cut inside
        // a character.
        edit.clear();
        edit.insert(QString::fromUtf8("가나다"));
        QCOMPARE(edit.text(), QString());
        edit.insert(QString::fromUtf8("가나"));
        QCOMPARE(edit.text(), QString::fromUtf8("가나"));
    }

    void enterPressesTheFocusedButtonOfAPlainWindow()
    {
        InstallEnterPressesButtons();
        QWidget window;
        auto* button = new CSkinButton(1, CSkinButton::Look::Bar, QStringLiteral("Close"), &window);
        auto* box = new QCheckBox(QStringLiteral("Yes"), &window);
        box->move(0, 40);
        window.show();
        QSignalSpy pressed(button, &QAbstractButton::clicked);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2);
        QTest::keyClick(box, Qt::Key_Return);  // a box is ticked by Space, not by the window's confirm key
        QVERIFY(!box->isChecked());
        button->setEnabled(false);
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(pressed.count(), 2);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
