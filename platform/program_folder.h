// Where the program lies.
#pragma once

// Makes the folder of the running program the working folder, so files
// beside it ("..\ui", "..\Commands") are found from wherever it was
// started.  0, or -1 when the folder cannot be found or entered.
int Enter_Program_Folder();
