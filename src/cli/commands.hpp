#pragma once
// The commands of the terminal tool. Each runs the same plain operations as
// the GUI's menu entries and returns the tool's exit code.

#include "cli/arguments.hpp"
#include "cli/cli_world.hpp"
#include "scan/drive_scan.hpp"

namespace quarnex::cli {

int RunCommand(CliWorld& world, const Invocation& invocation);

int RunScan(CliWorld& world, LoopDevices loopDevices);
int RunList(CliWorld& world, const Invocation& invocation);
int RunGet(CliWorld& world, const Invocation& invocation);
int RunPut(CliWorld& world, const Invocation& invocation);
// put with several files, --free or --dry-run.
int RunPutMany(CliWorld& world, const Invocation& invocation);
int RunDescribe(CliWorld& world, const Invocation& invocation);
int RunFormat(CliWorld& world, const Invocation& invocation);
int RunCreate(CliWorld& world, const Invocation& invocation);
int RunBackup(CliWorld& world, const Invocation& invocation);
int RunRestore(CliWorld& world, const Invocation& invocation);
int RunImageNew(CliWorld& world, const Invocation& invocation);
int RunImageZero(CliWorld& world, const Invocation& invocation);
int RunFloppyRead(CliWorld& world, const Invocation& invocation);
int RunFloppyWrite(CliWorld& world, const Invocation& invocation);
int RunEject(CliWorld& world, const Invocation& invocation);
// files ls, get, put, rm, mkdir.
int RunFiles(CliWorld& world, const Invocation& invocation);
int RunFind(CliWorld& world, const Invocation& invocation);
// verify STORE FILE: the slots in which they differ.
int RunVerify(CliWorld& world, const Invocation& invocation);
// export STORE DIR, import DIR STORE: slots to a folder of image files and back.
int RunExport(CliWorld& world, const Invocation& invocation);
int RunImport(CliWorld& world, const Invocation& invocation);

}  // namespace quarnex::cli
