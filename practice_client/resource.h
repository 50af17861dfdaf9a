// Resource identifiers shared by practice_client.rc and the window code.
#pragma once

#define IDI_PRACTICE_CLIENT 1
// The same grey line pictures the tool's own form shows, for the client's controls.
#define IDR_PICTURE_SMILING_FACE 201
#define IDR_PICTURE_HEART 202
#define IDR_PICTURE_FOLDER 203
