// Entry limits by characters and bytes.
#include "WindowRecorder.h"
#include "controls/LimitedEdit.h"

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
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
