#pragma once

namespace peridon::test {

// Makes a new temporary folder the working directory of this test program
// until it exits, then goes back and removes the folder. Whatever a test
// writes by a relative name (the prediction settings file, for one) lands
// there, never in the build tree, and no two test programs share it.
// Called from initTestCase; later calls keep the same folder.
void useTemporaryWorkingDirectory();

} // namespace peridon::test
