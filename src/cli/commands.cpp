#include "cli/commands.hpp"

namespace quarnex::cli {

int RunCommand(CliWorld& world, const Invocation& invocation) {
    switch (invocation.command) {
        case Command::Scan:
            return RunScan(world, invocation.all ? LoopDevices::Include : LoopDevices::Skip);
        case Command::List:
            return RunList(world, invocation);
        case Command::Get:
            return RunGet(world, invocation);
        case Command::Put:
            return RunPut(world, invocation);
        case Command::PutMany:
            return RunPutMany(world, invocation);
        case Command::Describe:
            return RunDescribe(world, invocation);
        case Command::Format:
            return RunFormat(world, invocation);
        case Command::Create:
            return RunCreate(world, invocation);
        case Command::Backup:
            return RunBackup(world, invocation);
        case Command::Restore:
            return RunRestore(world, invocation);
        case Command::ImageNew:
            return RunImageNew(world, invocation);
        case Command::ImageZero:
            return RunImageZero(world, invocation);
        case Command::FloppyRead:
            return RunFloppyRead(world, invocation);
        case Command::FloppyWrite:
            return RunFloppyWrite(world, invocation);
        case Command::Eject:
            return RunEject(world, invocation);
        case Command::FilesList:
        case Command::FilesGet:
        case Command::FilesPut:
        case Command::FilesRemove:
        case Command::FilesMakeFolder:
            return RunFiles(world, invocation);
        case Command::Find:
            return RunFind(world, invocation);
        case Command::Verify:
            return RunVerify(world, invocation);
        case Command::Export:
            return RunExport(world, invocation);
        case Command::Import:
            return RunImport(world, invocation);
    }
    return kExitUsage;
}

}  // namespace quarnex::cli
