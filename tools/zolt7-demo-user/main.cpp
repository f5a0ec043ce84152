// zolt7-demo-user --home DIR ID NAME
// Registers one user in slot 1 of DIR/conf/userinfo.conf when that register is
// missing or holds no user; a register with users is never touched. The file
// is written by the store's own crash-safe writer, 1,480,000 bytes.
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "users/UserRegister.h"

#include <QString>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: zolt7-demo-user --home DIR ID NAME\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 || std::strcmp(argv[1], "--home") != 0) return Usage();
    const std::string id = argv[3], name = argv[4];
    if (users::FitEntry(QString::fromUtf8(argv[3]), users::kIdMaxChars).toStdString() != id ||
        users::FitEntry(QString::fromUtf8(argv[4]), users::kNameMaxChars).toStdString() != name) {
        std::fprintf(stderr, "zolt7-demo-user: the ID is at most 15 characters, the name at most 30\n");
        return 2;
    }
    emtask::SetProgramFolder(argv[2]);
    emtask::EMTaskData* store = emtask::GetManager();
    const std::string path = emtask::UserInfoPath();
    if (std::filesystem::exists(path) && store->LoadUserInfo(path.c_str()) != 1) {
        std::fprintf(stderr, "zolt7-demo-user: %s cannot be read; left as it is\n", path.c_str());
        return 1;
    }
    emtask::UserRegister& users = store->Users();
    if (const int count = users::CountUsers(users.Slots()); count > 0) {
        std::printf("%s holds %d user(s); left as it is\n", path.c_str(), count);
        return 0;
    }
    if (users::CheckUser(users.Slots(), 1, id, name) != users::CheckResult::Ok) {
        std::fprintf(stderr, "zolt7-demo-user: \"%s\" / \"%s\" cannot be registered\n", id.c_str(),
                     name.c_str());
        return 2;
    }
    emtask::BusUserInfo u{};
    users::StoreTexts(u, id, name);
    const std::time_t now = std::time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    users::StampUser(u, lt);
    users.Clear();
    users.Put(1, u);
    if (store->SaveUserInfo() != 1) {
        std::fprintf(stderr, "zolt7-demo-user: %s cannot be written\n", path.c_str());
        return 1;
    }
    std::printf("registered user 1: ID \"%s\", name \"%s\" in %s\n", id.c_str(), name.c_str(), path.c_str());
    return 0;
}
