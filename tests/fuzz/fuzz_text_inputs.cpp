// Fuzz target: the texts that come from outside the program, whatever they
// hold: command-table files, device lines of the port listing, the
// language setting, and the simulated converter's state file.  Byte 0
// picks the reader, the rest is the text.
#include "discovery/scan_virtual_com_fun.h"
#include "lang/lang_api.h"
#include "menu/command_files.h"
#include "tools/devsim/devsim.h"

#include <cstdint>
#include <string>

int Fuzz_Text_Inputs(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0: {
        int rows[COMMAND_FILE_ROWS][6];
        if (Command_File_Parse(text, rows) && Command_File_Parse(Command_File_Text(rows), rows) == false)
            __builtin_trap();   // what the program writes it must read back
        break;
    }
    case 1: {
        int port = find_COMx(text.c_str());
        if (port < 0 || port > 256 || find_COMx_ORN(text.c_str()) > 1)
            __builtin_trap();
        break;
    }
    case 2: {
        int lang = Lang_Setting_Of(text.data(), text.size());
        if (lang != 0 && lang != 1)
            __builtin_trap();
        break;
    }
    default: {
        DevsimState state;
        Devsim_Default_State(state);
        std::string error;
        if (Devsim_Parse_State(text, state, error)) {
            DevsimState again;
            Devsim_Default_State(again);
            if (!Devsim_Parse_State(Devsim_State_Text(state), again, error))
                __builtin_trap();   // a state it accepts it must save readably
        }
        break;
    }
    }
    return 0;
}

#ifdef ORN_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return Fuzz_Text_Inputs(data, size);
}
#endif
