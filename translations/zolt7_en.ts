<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en_US">
<context>
    <name>CCaptureDlg</name>
    <message>
        <source>Measure</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>User Information</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Not saved</translation>
    </message>
</context>
<context>
    <name>CDataSearchDlg</name>
    <message>
        <source>Test No</source>
        <translation>Test No</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>ID / Name</source>
        <translation>ID / Name</translation>
    </message>
    <message>
        <source>Test Result - Normal</source>
        <translation>Test Result - Normal</translation>
    </message>
    <message>
        <source>Test Result - Error</source>
        <translation>Test Result - Error</translation>
    </message>
    <message>
        <source>Data Search</source>
        <translation>Data Search</translation>
    </message>
    <message>
        <source>Test number from</source>
        <translation>Test number from</translation>
    </message>
    <message>
        <source>Test number to</source>
        <translation>Test number to</translation>
    </message>
    <message>
        <source>Date from</source>
        <translation>Date from</translation>
    </message>
    <message>
        <source>Date to</source>
        <translation>Date to</translation>
    </message>
    <message>
        <source>ID or name</source>
        <translation>ID or name</translation>
    </message>
    <message>
        <source>Result from</source>
        <translation>Result from</translation>
    </message>
    <message>
        <source>Result to</source>
        <translation>Result to</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CIDentry</name>
    <message>
        <source>Identification</source>
        <translation>Identification</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ID or Name</source>
        <translation>ID or Name</translation>
    </message>
    <message>
        <source>ID or name</source>
        <translation>ID or name</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CMessageBox3Dlg</name>
    <message>
        <source>Loading data, just a moment please.</source>
        <translation>Loading data, just a moment please.</translation>
    </message>
</context>
<context>
    <name>CMessageBoxDlg</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CNotice</name>
    <message>
        <source>Setting Success</source>
        <translation>Setting Success</translation>
    </message>
    <message>
        <source>Setting is complete.</source>
        <translation>Setting is complete.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Existing user data will be deleted.
Do you still want to proceed?</source>
        <translation>Existing user data will be deleted.
Do you still want to proceed?</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Please hold on a minute. Waiting for the camera</source>
        <translation>Please hold on a minute. Waiting for the camera</translation>
    </message>
    <message>
        <source>Camera setting is being applied...</source>
        <translation>Camera setting is being applied...</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Loading setting values...</source>
        <translation>Loading setting values...</translation>
    </message>
    <message>
        <source>Registration</source>
        <translation>Registration</translation>
    </message>
    <message>
        <source>User data is currently being registered...</source>
        <translation>User data is currently being registered...</translation>
    </message>
    <message>
        <source>The memory on ZOLT7 is almost full.
Please save the data on your computer immediately.</source>
        <translation>The memory on ZOLT7 is almost full.
Please save the data on your computer immediately.</translation>
    </message>
    <message>
        <source>ID or Name recognition</source>
        <translation>ID or Name recognition</translation>
    </message>
    <message>
        <source>Please check your ID or name.</source>
        <translation>Please check your ID or name.</translation>
    </message>
    <message>
        <source>Communication Status</source>
        <translation>Communication Status</translation>
    </message>
    <message>
        <source>Please check the communication status of the device.</source>
        <translation>Please check the communication status of the device.</translation>
    </message>
    <message>
        <source>Fail to open port(USB)</source>
        <translation>Fail to open port(USB)</translation>
    </message>
    <message>
        <source>Setting Error</source>
        <translation>Setting Error</translation>
    </message>
    <message>
        <source>The server address is incorrect.
Please check the server address.</source>
        <translation>The server address is incorrect.
Please check the server address.</translation>
    </message>
    <message>
        <source>Wrong password.
Please check the password.</source>
        <translation>Wrong password.
Please check the password.</translation>
    </message>
    <message>
        <source>Please check the server address and password.
The associated setting is set to the default value.</source>
        <translation>Please check the server address and password.
The associated setting is set to the default value.</translation>
    </message>
    <message>
        <source>Wrong print form setting.
Please check the print setting.</source>
        <translation>Wrong print form setting.
Please check the print setting.</translation>
    </message>
    <message>
        <source>Password Error</source>
        <translation>Password Error</translation>
    </message>
    <message>
        <source>ID recognition</source>
        <translation>ID recognition</translation>
    </message>
    <message>
        <source>ID does not exist or is wrong.
Please check the ID.</source>
        <translation>ID does not exist or is wrong.
Please check the ID.</translation>
    </message>
    <message>
        <source>Name recognition</source>
        <translation>Name recognition</translation>
    </message>
    <message>
        <source>Name does not exist or is wrong.
Please check the Name.</source>
        <translation>Name does not exist or is wrong.
Please check the Name.</translation>
    </message>
    <message>
        <source>Card recognition</source>
        <translation>Card recognition</translation>
    </message>
    <message>
        <source>Card recognition failed.</source>
        <translation>Card recognition failed.</translation>
    </message>
    <message>
        <source>Camera setting change detected.
Changing the camera setting...</source>
        <translation>Camera setting change detected.
Changing the camera setting...</translation>
    </message>
    <message>
        <source>Please check the camera setting.</source>
        <translation>Please check the camera setting.</translation>
    </message>
    <message>
        <source>Please check the communication status of the bio-reader.</source>
        <translation>Please check the communication status of the bio-reader.</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Duplicate user ID or name.
Please check the following information :
 %s</source>
        <translation>Duplicate user ID or name.
Please check the following information :
 %s</translation>
    </message>
    <message>
        <source>Number of characters exceeded the limit.
Please check the following information :
 %s</source>
        <translation>Number of characters exceeded the limit.
Please check the following information :
 %s</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>COptionCameraDlg</name>
    <message>
        <source>Camera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Webcam Use</source>
        <translation>Webcam Use</translation>
    </message>
    <message>
        <source>CAM %1</source>
        <translation>CAM %1</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>The settings</translation>
    </message>
</context>
<context>
    <name>COptionDeviceDlg</name>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>High</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Test counts</source>
        <translation>Test counts</translation>
    </message>
</context>
<context>
    <name>COptionDlg</name>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>COptionHelpDlg</name>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Password to change</source>
        <translation>Password to change</translation>
    </message>
    <message>
        <source>Re-enter password to change</source>
        <translation>Re-enter password to change</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Password change error</source>
        <translation>Password change error</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The new password</source>
        <translation>The new password</translation>
    </message>
    <message>
        <source>Password change success</source>
        <translation>Password change success</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Success</translation>
    </message>
</context>
<context>
    <name>COptionIDMngDlg</name>
    <message>
        <source>%1 (row %2)</source>
        <translation>%1 (row %2)</translation>
    </message>
    <message>
        <source>Register or Delete</source>
        <translation>Register or Delete</translation>
    </message>
    <message>
        <source>Total User</source>
        <translation>Total User</translation>
    </message>
    <message>
        <source>Registered users</source>
        <translation>Registered users</translation>
    </message>
    <message>
        <source>Seq No.</source>
        <translation>Seq No.</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Modify</translation>
    </message>
    <message>
        <source>Creation Date</source>
        <translation>Creation Date</translation>
    </message>
    <message>
        <source>User ID</source>
        <translation>User ID</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>User Name</translation>
    </message>
    <message>
        <source>Register ID</source>
        <translation>Register ID</translation>
    </message>
    <message>
        <source>Load file</source>
        <translation>Load file</translation>
    </message>
    <message>
        <source>Save as</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>Delete All</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>The register is full: %1 users are registered.
Please delete a user before registering a new one.</source>
        <translation>The register is full: %1 users are registered.
Please delete a user before registering a new one.</translation>
    </message>
    <message>
        <source>The user list</source>
        <translation>The user list</translation>
    </message>
    <message>
        <source>Please check the checkbox you want to delete ID </source>
        <translation>Please check the checkbox you want to delete ID </translation>
    </message>
    <message>
        <source>ID Delete</source>
        <translation>ID Delete</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the checked ID?</source>
        <translation>Are you sure you want to delete the checked ID?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all user?</source>
        <translation>Are you sure you want to delete all user?</translation>
    </message>
    <message>
        <source>All Delete</source>
        <translation>All Delete</translation>
    </message>
    <message>
        <source>It failed to save </source>
        <translation>It failed to save </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Existing user data will be deleted.
Do you still want to proceed?</source>
        <translation>Existing user data will be deleted.
Do you still want to proceed?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>The file could not be opened.
The user list is unchanged.</source>
        <translation>The file could not be opened.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>The file is too large to be a user list.
The user list is unchanged.</source>
        <translation>The file is too large to be a user list.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>The file is not a readable .xlsx workbook.
The user list is unchanged.</source>
        <translation>The file is not a readable .xlsx workbook.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>There are same Name or ID 
 =&gt; %1</source>
        <translation>There are same Name or ID 
 =&gt; %1</translation>
    </message>
    <message>
        <source>The ID or name on row %1 holds a control character or bytes that are not text.
The user list is unchanged.</source>
        <translation>The ID or name on row %1 holds a control character or bytes that are not text.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>The name %1 has no ID beside it.
The user list is unchanged.</source>
        <translation>The name %1 has no ID beside it.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>The file holds more users than can be registered (at most %1).
The user list is unchanged.</source>
        <translation>The file holds more users than can be registered (at most %1).
The user list is unchanged.</translation>
    </message>
    <message>
        <source>No "User ID" header was found in the file.
The user list is unchanged.</source>
        <translation>No "User ID" header was found in the file.
The user list is unchanged.</translation>
    </message>
    <message>
        <source>The file holds no users.
The user list is unchanged.</source>
        <translation>The file holds no users.
The user list is unchanged.</translation>
    </message>
</context>
<context>
    <name>COptionPrintDlg</name>
    <message>
        <source>Wrong print form setting.
Please check the print setting.</source>
        <translation>Wrong print form setting.
Please check the print setting.</translation>
    </message>
    <message>
        <source>Print Setting</source>
        <translation>Print Setting</translation>
    </message>
    <message>
        <source>Print Background</source>
        <translation>Print Background</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Blank</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Print Background Path</source>
        <translation>Print Background Path</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Print Entry Information</source>
        <translation>Print Entry Information</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>The settings</translation>
    </message>
    <message>
        <source>Image File (*.jpg)</source>
        <translation>Image File (*.jpg)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Complete.</source>
        <translation>Complete.</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Complete.
Shortened to fit the settings: %1.</source>
        <translation>Complete.
Shortened to fit the settings: %1.</translation>
    </message>
</context>
<context>
    <name>COptionPsetDlg</name>
    <message>
        <source>Date Format</source>
        <translation>Date Format</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Data Display</source>
        <translation>Data Display</translation>
    </message>
    <message>
        <source>Rows per sheet</source>
        <translation>Rows per sheet</translation>
    </message>
    <message>
        <source>Data Save</source>
        <translation>Data Save</translation>
    </message>
    <message>
        <source>Photo Save</source>
        <translation>Photo Save</translation>
    </message>
    <message>
        <source>Photo Save Yes</source>
        <translation>Photo Save Yes</translation>
    </message>
    <message>
        <source>Photo Save No</source>
        <translation>Photo Save No</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>As the system</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Korean</translation>
    </message>
    <message>
        <source>Applies when the program starts again.</source>
        <translation>Applies when the program starts again.</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>The settings</translation>
    </message>
    <message>
        <source>It can't save file </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CPassword</name>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Enter the administrator password.</source>
        <translation>Enter the administrator password.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>Checking to save data...</source>
        <translation>Checking to save data...</translation>
    </message>
    <message>
        <source>Photo Save Total:%1, Current :%2(%3%)</source>
        <translation>Photo Save Total:%1, Current :%2(%3%)</translation>
    </message>
    <message>
        <source>Checking to save xlsx data...</source>
        <translation>Checking to save xlsx data...</translation>
    </message>
    <message>
        <source>Data saving part of the entire data set... :%1(%2%)</source>
        <translation>Data saving part of the entire data set... :%1(%2%)</translation>
    </message>
    <message>
        <source>.xlsx Data Save Total:%1, Current :%2(%3%)</source>
        <translation>.xlsx Data Save Total:%1, Current :%2(%3%)</translation>
    </message>
    <message>
        <source>Preparing to display...</source>
        <translation>Preparing to display...</translation>
    </message>
    <message>
        <source>Total:%1 (%2-%3), Current :%4(%5%)</source>
        <translation>Total:%1 (%2-%3), Current :%4(%5%)</translation>
    </message>
    <message>
        <source>Total:%1, Current :%2(%3%)</source>
        <translation>Total:%1, Current :%2(%3%)</translation>
    </message>
</context>
<context>
    <name>CReadDeviceDlg</name>
    <message>
        <source>%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.</source>
        <translation>%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.</translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Test records</source>
        <translation>Test records</translation>
    </message>
    <message>
        <source>Check all</source>
        <translation>Check all</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Device status</translation>
    </message>
    <message>
        <source>Calibration Requirements</source>
        <translation>Calibration Requirements</translation>
    </message>
    <message>
        <source>Test count</source>
        <translation>Test count</translation>
    </message>
    <message>
        <source>Limit level</source>
        <translation>Limit level</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>dat File(*.dat);;All Files (*.*)</source>
        <translation>dat File(*.dat);;All Files (*.*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>data File (*.dat)</source>
        <translation>data File (*.dat)</translation>
    </message>
    <message>
        <source>Data File Mismatch</source>
        <translation>Data File Mismatch</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The test log %1 could not be read back (%2). It is shown empty and read-only: no test is stored in it until the program is started again.</source>
        <translation>The test log %1 could not be read back (%2). It is shown empty and read-only: no test is stored in it until the program is started again.</translation>
    </message>
    <message>
        <source>Data files</source>
        <translation>Data files</translation>
    </message>
</context>
<context>
    <name>CRegUserDlg</name>
    <message>
        <source>Registration</source>
        <translation>Registration</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>The user list was replaced while this window was open.
The change was not stored.</source>
        <translation>The user list was replaced while this window was open.
The change was not stored.</translation>
    </message>
</context>
<context>
    <name>CSearchDataDlg</name>
    <message>
        <source>It can't save file </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Fail to save</source>
        <translation>Fail to save</translation>
    </message>
    <message>
        <source>Searching Data</source>
        <translation>Searching Data</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>Search results</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>dat File(*.dat);;All Files (*.*)</source>
        <translation>dat File(*.dat);;All Files (*.*)</translation>
    </message>
    <message>
        <source>Excel Files(*.csv)</source>
        <translation>Excel Files(*.csv)</translation>
    </message>
</context>
<context>
    <name>CSkinButton</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
</context>
<context>
    <name>CSplash</name>
    <message>
        <source>Loading Program Modules ...</source>
        <translation>Loading Program Modules ...</translation>
    </message>
    <message>
        <source>Loading Program Information ...</source>
        <translation>Loading Program Information ...</translation>
    </message>
    <message>
        <source>Initializing USB connection ...</source>
        <translation>Initializing USB connection ...</translation>
    </message>
    <message>
        <source>Breath alcohol tester companion</source>
        <translation>Breath alcohol tester companion</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewApp</name>
    <message>
        <source>The program folder %1 is in use by another ZOLT7 program.
This one ends without changing anything.</source>
        <translation>The program folder %1 is in use by another ZOLT7 program.
This one ends without changing anything.</translation>
    </message>
    <message>
        <source>The program folder cannot be locked (%1).
The program ends without changing anything.</source>
        <translation>The program folder cannot be locked (%1).
The program ends without changing anything.</translation>
    </message>
    <message>
        <source>ZOLT7</source>
        <translation>ZOLT7</translation>
    </message>
</context>
<context>
    <name>CVelmoraViewDlg</name>
    <message>
        <source>VelmoraView 정보(&amp;A)...</source>
        <translation>&amp;About VelmoraView...</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>Central records</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Port of the instrument</source>
        <translation>Port of the instrument</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Device Information</source>
        <translation>Device Information</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Product</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Firmware Version</translation>
    </message>
    <message>
        <source>Last Calibration</source>
        <translation>Last Calibration</translation>
    </message>
    <message>
        <source>ZOLT7, Version 2.0
%1</source>
        <translation>ZOLT7, Version 2.0
%1</translation>
    </message>
    <message>
        <source>ZOLT7 Information</source>
        <translation>ZOLT7 Information</translation>
    </message>
    <message>
        <source>The settings</source>
        <translation>The settings</translation>
    </message>
    <message>
        <source>How to run a test</source>
        <translation>How to run a test</translation>
    </message>
    <message>
        <source>1.  Choose the instrument's port in the list and press Connect.</source>
        <translation>1.  Choose the instrument's port in the list and press Connect.</translation>
    </message>
    <message>
        <source>2.  Press Measure, then identify the person to be tested.</source>
        <translation>2.  Press Measure, then identify the person to be tested.</translation>
    </message>
    <message>
        <source>3.  Follow the instrument: the result and a photograph are stored.</source>
        <translation>3.  Follow the instrument: the result and a photograph are stored.</translation>
    </message>
    <message>
        <source>4.  Records lists the stored tests; Settings changes the preferences.</source>
        <translation>4.  Records lists the stored tests; Settings changes the preferences.</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>ZOLT7 2.0</source>
        <translation>ZOLT7 2.0</translation>
    </message>
    <message>
        <source>ZOLT7 v2.0</source>
        <translation>ZOLT7 v2.0</translation>
    </message>
</context>
<context>
    <name>CentralPage</name>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1 could not be saved: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Not saved</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>Central records</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>Database</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Send every stored test to the central database</source>
        <translation>Send every stored test to the central database</translation>
    </message>
    <message>
        <source>A password is never stored here: put it in ~/.pgpass (host:port:database:user:password).</source>
        <translation>A password is never stored here: put it in ~/.pgpass (host:port:database:user:password).</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>GridPrint</name>
    <message>
        <source>the print job could not start</source>
        <translation>the print job could not start</translation>
    </message>
    <message>
        <source>a page could not be printed</source>
        <translation>a page could not be printed</translation>
    </message>
    <message>
        <source>the print job could not be completed</source>
        <translation>the print job could not be completed</translation>
    </message>
    <message>
        <source>the printer</source>
        <translation>the printer</translation>
    </message>
</context>
<context>
    <name>LastTestPanel</name>
    <message>
        <source>Last test</source>
        <translation>Last test</translation>
    </message>
    <message>
        <source>No result</source>
        <translation>No result</translation>
    </message>
    <message>
        <source>The test ended without a result.</source>
        <translation>The test ended without a result.</translation>
    </message>
    <message>
        <source>The test log is full.</source>
        <translation>The test log is full.</translation>
    </message>
    <message>
        <source>Not stored</source>
        <translation>Not stored</translation>
    </message>
    <message>
        <source>Last test  No. %1  (not saved to disk)</source>
        <translation>Last test  No. %1  (not saved to disk)</translation>
    </message>
    <message>
        <source>Last test  No. %1</source>
        <translation>Last test  No. %1</translation>
    </message>
    <message>
        <source>Flow error</source>
        <translation>Flow error</translation>
    </message>
    <message>
        <source>Photograph of test %1</source>
        <translation>Photograph of test %1</translation>
    </message>
    <message>
        <source>The photograph of test %1 does not match its record</source>
        <translation>The photograph of test %1 does not match its record</translation>
    </message>
    <message>
        <source>No photograph of test %1</source>
        <translation>No photograph of test %1</translation>
    </message>
</context>
<context>
    <name>MeasureGate</name>
    <message>
        <source>Connected to %1</source>
        <translation>Connected to %1</translation>
    </message>
    <message>
        <source>Waiting for the instrument…</source>
        <translation>Waiting for the instrument…</translation>
    </message>
    <message>
        <source>Not connected: choose the port and press Connect.</source>
        <translation>Not connected: choose the port and press Connect.</translation>
    </message>
    <message>
        <source>Not connected: no port found.</source>
        <translation>Not connected: no port found.</translation>
    </message>
</context>
<context>
    <name>MirrorDlg</name>
    <message>
        <source>Print View</source>
        <translation>Print View</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Save PDF</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1 could not be saved: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Not saved</translation>
    </message>
    <message>
        <source>Prints the report.</source>
        <translation>Prints the report.</translation>
    </message>
    <message>
        <source>No printer is installed: saves the report as a PDF file instead.</source>
        <translation>No printer is installed: saves the report as a PDF file instead.</translation>
    </message>
    <message>
        <source>The report could not be printed on %1: %2.</source>
        <translation>The report could not be printed on %1: %2.</translation>
    </message>
    <message>
        <source>PDF File (*.pdf)</source>
        <translation>PDF File (*.pdf)</translation>
    </message>
</context>
<context>
    <name>SealAuditDlg</name>
    <message>
        <source>Check all</source>
        <translation>Check all</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Accept unsealed tests below</source>
        <translation>Accept unsealed tests below</translation>
    </message>
    <message>
        <source>Accept unsealed tests below test number:</source>
        <translation>Accept unsealed tests below test number:</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Check again</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>Test No.</source>
        <translation>Test No.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Check with key sheet...</source>
        <translation>Check with key sheet...</translation>
    </message>
    <message>
        <source>Export checkpoint...</source>
        <translation>Export checkpoint...</translation>
    </message>
    <message>
        <source>Begin ledger with key sheet...</source>
        <translation>Begin ledger with key sheet...</translation>
    </message>
    <message>
        <source>Key sheet</source>
        <translation>Key sheet</translation>
    </message>
    <message>
        <source>Key sheets (*.txt);;All files (*)</source>
        <translation>Key sheets (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Code as printed</source>
        <translation>Code as printed</translation>
    </message>
    <message>
        <source>Verify a printed code</source>
        <translation>Verify a printed code</translation>
    </message>
    <message>
        <source>The key sheet cannot be used:
%1</source>
        <translation>The key sheet cannot be used:
%1</translation>
    </message>
    <message>
        <source>Check with key sheet</source>
        <translation>Check with key sheet</translation>
    </message>
    <message>
        <source>Checking every record and photograph of the test log against the seal ledger...</source>
        <translation>Checking every record and photograph of the test log against the seal ledger...</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>The check failed: %1</source>
        <translation>The check failed: %1</translation>
    </message>
    <message>
        <source>Everything verifies.</source>
        <translation>Everything verifies.</translation>
    </message>
    <message>
        <source>Not everything verifies.</source>
        <translation>Not everything verifies.</translation>
    </message>
    <message>
        <source>Records: %1, ledger entries: %2, verified: %3, not sealed (CRC only): %4</source>
        <translation>Records: %1, ledger entries: %2, verified: %3, not sealed (CRC only): %4</translation>
    </message>
    <message>
        <source>ledger entry %1: %2</source>
        <translation>ledger entry %1: %2</translation>
    </message>
    <message>
        <source>%1 more findings: save as CSV to see them all</source>
        <translation>%1 more findings: save as CSV to see them all</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV Files (*.csv)</translation>
    </message>
    <message>
        <source>The findings could not be saved to %1:
%2</source>
        <translation>The findings could not be saved to %1:
%2</translation>
    </message>
    <message>
        <source>Export checkpoint</source>
        <translation>Export checkpoint</translation>
    </message>
    <message>
        <source>Checkpoints (*.txt)</source>
        <translation>Checkpoints (*.txt)</translation>
    </message>
    <message>
        <source>The checkpoint could not be written to %1:
%2</source>
        <translation>The checkpoint could not be written to %1:
%2</translation>
    </message>
    <message>
        <source>The checkpoint of the seal ledger up to test %1 is in %2.

Keep it away from this computer. An audit given it (VelmoraView --audit --checkpoint FILE) fails when the program folder was later rolled back or cut short.</source>
        <translation>The checkpoint of the seal ledger up to test %1 is in %2.

Keep it away from this computer. An audit given it (VelmoraView --audit --checkpoint FILE) fails when the program folder was later rolled back or cut short.</translation>
    </message>
    <message>
        <source>Begin ledger with key sheet</source>
        <translation>Begin ledger with key sheet</translation>
    </message>
    <message>
        <source>A new seal ledger begins with the next test. Its entries are signed with a key that changes after every test; the first key is written once to a key sheet and never kept on this computer.

With the sheet, an audit proves that no earlier entry was rewritten, even by someone who can change every file here. Print the sheet or copy it to a medium you keep elsewhere, then delete it from this computer.

The current ledger is kept under another name. Continue?</source>
        <translation>A new seal ledger begins with the next test. Its entries are signed with a key that changes after every test; the first key is written once to a key sheet and never kept on this computer.

With the sheet, an audit proves that no earlier entry was rewritten, even by someone who can change every file here. Print the sheet or copy it to a medium you keep elsewhere, then delete it from this computer.

The current ledger is kept under another name. Continue?</translation>
    </message>
    <message>
        <source>Key sheets (*.txt)</source>
        <translation>Key sheets (*.txt)</translation>
    </message>
    <message>
        <source>No ledger was begun:
%1</source>
        <translation>No ledger was begun:
%1</translation>
    </message>
    <message>
        <source>The sealed ledger begins after test %1. The key sheet is in %2; the code below holds the same text, for a phone or a printout.</source>
        <translation>The sealed ledger begins after test %1. The key sheet is in %2; the code below holds the same text, for a phone or a printout.</translation>
    </message>
    <message>
        <source>Key sheet as a QR code</source>
        <translation>Key sheet as a QR code</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>SettingsPages</name>
    <message>
        <source>Registration</source>
        <translation>Registration</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>Print Setting</source>
        <translation>Print Setting</translation>
    </message>
    <message>
        <source>Program Setting</source>
        <translation>Program Setting</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Central records</source>
        <translation>Central records</translation>
    </message>
</context>
<context>
    <name>StoreNotices</name>
    <message>
        <source>%1 could not be saved: %2.</source>
        <translation>%1 could not be saved: %2.</translation>
    </message>
    <message>
        <source>Not saved</source>
        <translation>Not saved</translation>
    </message>
    <message>
        <source>Data files</source>
        <translation>Data files</translation>
    </message>
</context>
<context>
    <name>central</name>
    <message>
        <source>Central: up to date</source>
        <translation>Central: up to date</translation>
    </message>
    <message>
        <source>Central: cannot connect: %1</source>
        <translation>Central: cannot connect: %1</translation>
    </message>
    <message>
        <source>Central: %1</source>
        <translation>Central: %1</translation>
    </message>
    <message>
        <source>Central: %1 test waiting</source>
        <translation>Central: %1 test waiting</translation>
    </message>
    <message>
        <source>Central: %1 tests waiting</source>
        <translation>Central: %1 tests waiting</translation>
    </message>
</context>
<context>
    <name>central::CentralWorker</name>
    <message>
        <source>Central: cannot start: %1</source>
        <translation>Central: cannot start: %1</translation>
    </message>
    <message>
        <source>Central: connecting</source>
        <translation>Central: connecting</translation>
    </message>
    <message>
        <source>The central database holds another test %1 of station %2: %3. It was not overwritten; run an audit.</source>
        <translation>The central database holds another test %1 of station %2: %3. It was not overwritten; run an audit.</translation>
    </message>
</context>
<context>
    <name>measurement</name>
    <message>
        <source>Wait</source>
        <translation>Wait</translation>
    </message>
    <message>
        <source>Blow</source>
        <translation>Blow</translation>
    </message>
    <message>
        <source>Analyzing</source>
        <translation>Analyzing</translation>
    </message>
    <message>
        <source>Flow</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>Sensor Error</source>
        <translation>Sensor Error</translation>
    </message>
    <message>
        <source>Time out</source>
        <translation>Time out</translation>
    </message>
    <message>
        <source>                                  [ Need Recalibration ]</source>
        <translation>                                  [ Need Recalibration ]</translation>
    </message>
    <message>
        <source>The test log is full: this result (%1) was not saved. Please note it by hand.</source>
        <translation>The test log is full: this result (%1) was not saved. Please note it by hand.</translation>
    </message>
    <message>
        <source>This result (%1) was not saved: %2. Please note it by hand.</source>
        <translation>This result (%1) was not saved: %2. Please note it by hand.</translation>
    </message>
    <message>
        <source>The result was saved, but not sealed: %1.</source>
        <translation>The result was saved, but not sealed: %1.</translation>
    </message>
    <message>
        <source>The result was saved, but the settings were not: %1.</source>
        <translation>The result was saved, but the settings were not: %1.</translation>
    </message>
    <message>
        <source>The photograph of this test could not be saved.</source>
        <translation>The photograph of this test could not be saved.</translation>
    </message>
</context>
<context>
    <name>records</name>
    <message>
        <source>Reading datas : Not exist</source>
        <translation>Reading datas : Not exist</translation>
    </message>
    <message>
        <source>Reading datas from Local : Not exist (%1)</source>
        <translation>Reading datas from Local : Not exist (%1)</translation>
    </message>
    <message>
        <source>Reading data from Local : Not exist (%1)</source>
        <translation>Reading data from Local : Not exist (%1)</translation>
    </message>
    <message>
        <source>Reading datas</source>
        <translation>Reading datas</translation>
    </message>
    <message>
        <source>Reading datas from Local : Loading... (%1)</source>
        <translation>Reading datas from Local : Loading... (%1)</translation>
    </message>
    <message>
        <source>Reading datas : Complete</source>
        <translation>Reading datas : Complete</translation>
    </message>
    <message>
        <source>Reading datas from Local : Complete (%1)</source>
        <translation>Reading datas from Local : Complete (%1)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Test No.</source>
        <translation>Test No.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Test Result</source>
        <translation>Test Result</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>Flow</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>Sheet %1</source>
        <translation>Sheet %1</translation>
    </message>
    <message>
        <source>Photograph: no test selected</source>
        <translation>Photograph: no test selected</translation>
    </message>
    <message>
        <source>check passed</source>
        <translation>check passed</translation>
    </message>
    <message>
        <source>altered</source>
        <translation>altered</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Photograph of test %1: %2</source>
        <translation>Photograph of test %1: %2</translation>
    </message>
    <message>
        <source>CSV</source>
        <translation>CSV</translation>
    </message>
</context>
<context>
    <name>records::GridPrintJob</name>
    <message>
        <source>The records could not be printed on %1: %2.</source>
        <translation>The records could not be printed on %1: %2.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
</context>
<context>
    <name>records::RecordExcel</name>
    <message>
        <source>해당 파일을 저장할 수 없습니다. </source>
        <translation>It can't save file </translation>
    </message>
    <message>
        <source>처리오류</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
</context>
<context>
    <name>records::RecordGridModel</name>
    <message>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>reports</name>
    <message>
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Operator/Doctor</source>
        <translation>Operator/Doctor</translation>
    </message>
    <message>
        <source>Subject/Patient</source>
        <translation>Subject/Patient</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>no page has been rendered</source>
        <translation>no page has been rendered</translation>
    </message>
    <message>
        <source>the print job could not start</source>
        <translation>the print job could not start</translation>
    </message>
    <message>
        <source>the printer has no printable area</source>
        <translation>the printer has no printable area</translation>
    </message>
    <message>
        <source>the PDF could not be made</source>
        <translation>the PDF could not be made</translation>
    </message>
    <message>
        <source>the PDF came out incomplete</source>
        <translation>the PDF came out incomplete</translation>
    </message>
</context>
<context>
    <name>search</name>
    <message>
        <source>Reading search datas : Not exist (%1)</source>
        <translation>Reading search datas : Not exist (%1)</translation>
    </message>
    <message>
        <source>Reading search datas0 : Not exist</source>
        <translation>Reading search datas0 : Not exist</translation>
    </message>
    <message>
        <source>Reading search datas : Not exist</source>
        <translation>Reading search datas : Not exist</translation>
    </message>
    <message>
        <source>Reading search datas : Loading... (%1)</source>
        <translation>Reading search datas : Loading... (%1)</translation>
    </message>
    <message>
        <source>Reading search datas : Loading...</source>
        <translation>Reading search datas : Loading...</translation>
    </message>
    <message>
        <source>Reading search datas : Complete (%1)</source>
        <translation>Reading search datas : Complete (%1)</translation>
    </message>
    <message>
        <source>Reading search datas : Complete</source>
        <translation>Reading search datas : Complete</translation>
    </message>
    <message>
        <source>Search Input No Error.</source>
        <translation>Search Input No Error.</translation>
    </message>
    <message>
        <source>Search Start No Error.</source>
        <translation>Search Start No Error.</translation>
    </message>
    <message>
        <source>Search date Error.</source>
        <translation>Search date Error.</translation>
    </message>
    <message>
        <source>Search ID or Name Error</source>
        <translation>Search ID or Name Error</translation>
    </message>
    <message>
        <source>Search Normal Result Error</source>
        <translation>Search Normal Result Error</translation>
    </message>
</context>
<context>
    <name>users</name>
    <message>
        <source>Please fill in ID.</source>
        <translation>Please fill in ID.</translation>
    </message>
    <message>
        <source>There are same ID or Name.
Please use another ID.</source>
        <translation>There are same ID or Name.
Please use another ID.</translation>
    </message>
    <message>
        <source>Please fill in Name.</source>
        <translation>Please fill in Name.</translation>
    </message>
    <message>
        <source>There are same ID or Name.
Please use another Name.</source>
        <translation>There are same ID or Name.
Please use another Name.</translation>
    </message>
</context>
</TS>