@echo off
rem ZENTAQ Tester's tests on this Windows: runs each test program in this folder, shows each
rem result and writes test-report.txt here. It changes no setting and leaves nothing else behind.
rem Some tests type keys (the Windows keys, the modifiers) into the tester: leave the keyboard and
rem the mouse alone until the last line, "N passed, M failed".
"%~dp0run_tests.exe"
exit /b %ERRORLEVEL%
