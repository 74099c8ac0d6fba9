#include <cstdio>
#include <cstdlib>
#include <string>

#include "exit_status.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "platform.h"

namespace {

const char help_text[] =
    "pravtweak inifile.ini       where inifile'd be like\n"
    "  [prav]\n"
    "  pipravox=pipravox40X\n"
    "  xml=c:\\pgmjunk\\Pipravox Style 40X\\Pipravox40.xml\n"
    "  mapnumber=37  ;defaults to 3.\n"
    "  [volume]\n"
    "  else=6        ;the default\n"
    "  traps=16      ;make gong, drums loud.\n"
    "etc.    -d debug: *don't* mutilate file but leave evidence.\n"
    "-r  spew prav/rank info to screen.\n"
    "THE SALICIONAL MEMORIAL PREFIX. Pipravox volumes are translated from 1 to 16\n"
    "to the MIDI values 7-127. If pravtweak encounters a value prefixed with an \"m\",\n"
    "it will use the absolute MIDI value instead, i.e. \"salicional=m0\" might make a\n"
    "real soft salicional.\n";

const char pan_block[] =
    "[pan]\n"
    ";left=2         ;makes anything panned left into L 2.\n"
    ";right=2\n"
    "else=7          ;same as= left=2, right=2.\n"
    "Flute=C         ;center of course.\n"
    "Diaphonic Diapason=L4\n"
    "Harmonic Tuba=R 3\n";

const char soundfont_block[] =
    "[soundfont]\n"
    ";trumpet=25,51,1      ;original note?\n"
    ";trumpet=30,50,0\n"
    "bank=30               ;default bank for all specs.\n"
    "trumpet=50,0          ;i.e.same as trumpet=30,50,0\n"
    "flute=29,94,44        ;etc.\n"
    ";clarinet=foo         ;error; hopefully program complains, doesn't crash.\n"
    ";Also [volume]..[volume%d]; likewise for  pan, soundfont. Set with\n"
    ";\"pravnumber\" up to 99. Subsequent renditions override, which can be handy for\n"
    ";ridiculous complicated things.\n";

}  // namespace

void usage() {
    printf("pravtweak mutilate Pipravox40.xml   %s %s\n", __DATE__, __TIME__);
    fputs(help_text, stdout);
    if (platform::stdout_is_terminal()) {
        printf("%s\n", std::string(66, ':').c_str());
        printf("(You can redirect this information to a file, i.e. \"pravtweak >file~\".)\n");
    }
    if (ask_more()) {
        fputs(pan_block, stdout);
        if (ask_more())
            printf(soundfont_block, runConfiguration.mapCount);
    }
    end_program(ExitUsage);
}
