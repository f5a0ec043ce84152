<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>CLastTestPanel</name>
    <message>
        <source>Last test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The test ended without a result.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The test log is full.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last test  No. %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  (not saved to disk)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flow error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photograph of test %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The photograph of test %1 does not match its record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No photograph of test %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMessageBoxDlg</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CNotice</name>
    <message>
        <source>Setting Success</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting is complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Existing user data will be deleted.
Do you still want to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please hold on a minute. Waiting for the camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera setting is being applied...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading setting values...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Registration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User data is currently being registered...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The memory on ZOLT7 is almost full.
Please save the data on your computer immediately.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID or Name recognition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check your ID or name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check the communication status of the device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to open port(USB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server address is incorrect.
Please check the server address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong password.
Please check the password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong print form setting.
Please check the print setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID recognition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID does not exist or is wrong.
Please check the ID.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name recognition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name does not exist or is wrong.
Please check the Name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Card recognition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Card recognition failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera setting change detected.
Changing the camera setting...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check the camera setting.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please check the communication status of the bio-reader.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicate user ID or name.
Please check the following information :
 %s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COptionDeviceDlg</name>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>High</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test counts</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COptionDlg</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSkinButton</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSplash</name>
    <message>
        <source>Loading Program Modules ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading Program Information ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing USB connection ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Breath alcohol tester companion</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVelmoraViewApp</name>
    <message>
        <source>The program folder %1 is in use by another ZOLT7 program.
This one ends without changing anything.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program folder cannot be locked (%1).
The program ends without changing anything.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVelmoraViewDlg</name>
    <message>
        <source>Central records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Measure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port of the instrument</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Product</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last Calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZOLT7, Version 2.0
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZOLT7 Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How to run a test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.  Choose the instrument&apos;s port in the list and press Connect.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2.  Press Measure, then identify the person to be tested.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3.  Follow the instrument: the result and a photograph are stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4.  Records lists the stored tests; Settings changes the preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CentralPage</name>
    <message>
        <source>Central records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Station</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send every stored test to the central database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A password is never stored here: put it in ~/.pgpass (host:port:database:user:password).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MeasureGate</name>
    <message>
        <source>Connected to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the instrument…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected: choose the port and press Connect.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not connected: no port found.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgressText</name>
    <message>
        <source>Checking to save data...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photo Save Total:%d, Current :%.f(%.f%%)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking to save xlsx data...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data saving part of the entire data set... :%.f(%.f%%)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.xlsx Data Save Total:%d, Current :%.f(%.f%%)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing to display...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total:%d (%d-%d), Current :%.f(%.f%%)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total:%d, Current :%.f(%.f%%)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsPages</name>
    <message>
        <source>Registration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Central records</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StoreNotices</name>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data files</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
