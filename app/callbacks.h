// Every callback the panel resource files may name, registered by name.
#pragma once

void App_Register_Callbacks();
