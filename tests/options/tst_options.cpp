#include "TestFolder.h"
#include "WindowRecorder.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/SkinButton.h"
#include "options/COptionPsetDlg.h"
#include "options/Password.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"

#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

#include <filesystem>

namespace {

emtask::BusInfo& Bus() { return emtask::GetManager()->m_BusInfo; }

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        emtask::GetManager()->StartUp();  // a fresh settings block
    }
    void cleanup() { folder.reset(); }

    void eachChoiceIsSavedAtOnce()
    {
        Recorder users(Wnd::UserList);
        COptionPsetDlg page;
        page.show();
        std::filesystem::remove(emtask::ConfigPath());

        // Each choice reaches the file before the next one is made.
        page.dateChoice(1)->click();
        QCOMPARE(StoredBus().dateorder, 1);
        page.photoChoice(1)->click();
        QCOMPARE(StoredBus().photosave, 1);
        page.rowsList()->setCurrentIndex(18);
        emit page.rowsList()->activated(18);
        QCOMPARE(StoredBus().rowsindex, 18);
        QCoreApplication::processEvents();
        // Only the date order redraws the users.
        QCOMPARE(users.got, (std::vector<std::pair<unsigned, intptr_t>>{{msg::MSG_USERLIST_REBUILD, 0}}));
    }

    void promptAcceptsExactlyTheStoredPassword()
    {
        Recorder main(Wnd::Main);
        CPassword prompt;
        prompt.show();
        // Return in the entry confirms once: no failure follows the success.
        QTest::keyClicks(prompt.entry(), "7294");
        QTest::keyClick(prompt.entry(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(main.params(), std::vector<intptr_t>{msg::MAIN_OPTION_OPEN});
        QVERIFY(!prompt.isVisible());
        for (const char* wrong : {"", "72944", " 7294"}) QVERIFY2(!PasswordMatches(wrong), wrong);
        emtask::CopyField(Bus().password, "Abc");
        QVERIFY(!PasswordMatches("abc") && PasswordMatches("Abc"));

        // A stored field without its NUL is compared within the field.
        std::memset(Bus().password, 'z', sizeof Bus().password);
        QVERIFY(!PasswordMatches("zzzz"));
        QVERIFY(PasswordMatches(std::string(64, 'z')));
    }

    void changingThePassword()
    {
        ScriptedDialogs dialogs;
        Recorder users(Wnd::UserList);
        COptionHelpDlg page;
        page.show();

        QTest::keyClicks(page.newField(), "abc");
        QTest::keyClicks(page.repeatField(), "abc");
        QTest::mouseClick(page.applyButton(), Qt::LeftButton);
        QCOMPARE(dialogs.messages(), QStringList{"Password change success"});
        QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));
        QVERIFY(page.newField()->text().isEmpty());
        QVERIFY(!PasswordMatches("7294"));

        // Refused changes keep the password but still write the file.
        struct { const char* first; const char* second; } refused[] = {{"", ""}, {"xyz", "xyZ"}};
        for (auto& r : refused) {
            std::filesystem::remove(emtask::ConfigPath());
            page.newField()->setText(r.first);
            page.repeatField()->setText(r.second);
            page.OnApply();
            QCOMPARE(dialogs.messages().back(), QString("Password change error"));
            QCOMPARE(emtask::FieldText(Bus().password), std::string("abc"));
            QVERIFY(std::filesystem::exists(emtask::ConfigPath()));
            QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));
        }
        QCoreApplication::processEvents();
        QCOMPARE(users.got.size(), size_t(3));

        // A change that cannot be saved is not reported as made.
        page.newField()->setText("xyz");
        page.repeatField()->setText("xyz");
        emtask::iofault::Arm(1, EIO, emtask::iofault::kWriteSide, true);
        page.OnApply();
        emtask::iofault::Disarm();
        QVERIFY2(dialogs.messages().back().contains("could not be saved"), qPrintable(dialogs.messages().back()));
        QCOMPARE(emtask::FieldText(StoredBus().password), std::string("abc"));
    }

    void noFieldTakesAThirteenthCharacter()
    {
        CPassword prompt;
        COptionHelpDlg page;
        prompt.show();
        page.show();
        // How the limit counts is the entry's own test; here each field's limit.
        for (CLimitedEdit* field : {prompt.entry(), page.newField(), page.repeatField()}) {
            QTest::keyClicks(field, "1234567890abXY");
            QCOMPARE(field->text(), QString("1234567890ab"));
            QCOMPARE(field->echoMode(), QLineEdit::Password);
        }
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
