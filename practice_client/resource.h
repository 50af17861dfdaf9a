// Resource identifiers shared by practice_client.rc and the window code.
#pragma once

#define IDI_PRACTICE_CLIENT 1
