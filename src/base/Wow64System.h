#pragma once

// True on 64-bit Windows, where this 32-bit program runs under WOW64 and sees two registry views.
bool isWow64System();
