// SPDX-License-Identifier: GPL-3.0-or-later
// A loadable library without the host entry, for the loader's tests.
extern "C" int numbrook_not_the_entry()
{
    return 0;
}
