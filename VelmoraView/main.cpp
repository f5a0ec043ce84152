#include "records/SealAuditCommand.h"
#include "shell/CVelmoraViewApp.h"

int main(int argc, char** argv)
{
    // The audit runs without a window and without the program folder's lock.
    if (records::IsAuditCommand(argc, argv)) return records::RunAuditCommand(argc, argv);
    CVelmoraViewApp app(argc, argv);
    return app.Run();
}
