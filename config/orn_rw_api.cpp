#include "config/orn_rw_api.h"

// Polling of the data buffer comes with first contact.
int Read_data_buf_F(int, int, int, void *, int, int)
{
    return 0;
}

int Rd_buf_T_F(int, int, int, void *, int, int)
{
    return 0;
}
