#pragma once
// Where every launcher carries the permission helper's bytes: resource type "BIN", id 133.
// Shared by the launcher's resource script, which names the type bare, and the code that writes
// the helper out, which names it as text.

#define PERMISSION_HELPER_RESOURCE_ID 133
#define PERMISSION_HELPER_RESOURCE_TYPE_NAME BIN

#define PERMISSION_HELPER_TEXT_(name) #name
#define PERMISSION_HELPER_TEXT(name) PERMISSION_HELPER_TEXT_(name)
#define PERMISSION_HELPER_RESOURCE_TYPE PERMISSION_HELPER_TEXT(PERMISSION_HELPER_RESOURCE_TYPE_NAME)
