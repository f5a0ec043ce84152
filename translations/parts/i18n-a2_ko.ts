<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
    <context>
        <name>CMessageBox3Dlg</name>
        <message>
            <source>Loading data, just a moment please.</source>
            <translation>데이터를 불러오는 중입니다. 잠시만 기다려 주십시오.</translation>
        </message>
    </context>
    <context>
        <name>CMessageBoxDlg</name>
        <message>
            <source>Error</source>
            <translation>오류</translation>
        </message>
    </context>
    <context>
        <name>CNotice</name>
        <message>
            <source>Setting Success</source>
            <translation>설정 완료</translation>
        </message>
        <message>
            <source>Setting is complete.</source>
            <translation>설정이 완료되었습니다.</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>경고</translation>
        </message>
        <message>
            <source>Existing user data will be deleted.
Do you still want to proceed?</source>
            <translation>기존 사용자 데이터가 삭제됩니다.
계속하시겠습니까?</translation>
        </message>
        <message>
            <source>Camera</source>
            <translation>카메라</translation>
        </message>
        <message>
            <source>Please hold on a minute. Waiting for the camera</source>
            <translation>잠시만 기다려 주십시오. 카메라를 기다리는 중입니다</translation>
        </message>
        <message>
            <source>Camera setting is being applied...</source>
            <translation>카메라 설정을 적용하는 중입니다...</translation>
        </message>
        <message>
            <source>Setting</source>
            <translation>설정</translation>
        </message>
        <message>
            <source>Loading setting values...</source>
            <translation>설정값을 불러오는 중입니다...</translation>
        </message>
        <message>
            <source>Registration</source>
            <translation>등록</translation>
        </message>
        <message>
            <source>User data is currently being registered...</source>
            <translation>사용자 데이터를 등록하는 중입니다...</translation>
        </message>
        <message>
            <source>The memory on ZOLT7 is almost full.
Please save the data on your computer immediately.</source>
            <translation>ZOLT7의 메모리가 거의 찼습니다.
데이터를 즉시 컴퓨터에 저장하십시오.</translation>
        </message>
        <message>
            <source>ID or Name recognition</source>
            <translation>ID 또는 이름 인식</translation>
        </message>
        <message>
            <source>Please check your ID or name.</source>
            <translation>ID 또는 이름을 확인하십시오.</translation>
        </message>
        <message>
            <source>Communication Status</source>
            <translation>통신 상태</translation>
        </message>
        <message>
            <source>Please check the communication status of the device.</source>
            <translation>측정기의 통신 상태를 확인하십시오.</translation>
        </message>
        <message>
            <source>Fail to open port(USB)</source>
            <translation>포트(USB)를 열 수 없습니다</translation>
        </message>
        <message>
            <source>Setting Error</source>
            <translation>설정 오류</translation>
        </message>
        <message>
            <source>The server address is incorrect.
Please check the server address.</source>
            <translation>서버 주소가 올바르지 않습니다.
서버 주소를 확인하십시오.</translation>
        </message>
        <message>
            <source>Wrong password.
Please check the password.</source>
            <translation>비밀번호가 틀렸습니다.
비밀번호를 확인하십시오.</translation>
        </message>
        <message>
            <source>Please check the server address and password.
The associated setting is set to the default value.</source>
            <translation>서버 주소와 비밀번호를 확인하십시오.
관련 설정이 기본값으로 설정되었습니다.</translation>
        </message>
        <message>
            <source>Wrong print form setting.
Please check the print setting.</source>
            <translation>인쇄 양식 설정이 잘못되었습니다.
인쇄 설정을 확인하십시오.</translation>
        </message>
        <message>
            <source>Password Error</source>
            <translation>비밀번호 오류</translation>
        </message>
        <message>
            <source>ID recognition</source>
            <translation>ID 인식</translation>
        </message>
        <message>
            <source>ID does not exist or is wrong.
Please check the ID.</source>
            <translation>ID가 없거나 잘못되었습니다.
ID를 확인하십시오.</translation>
        </message>
        <message>
            <source>Name recognition</source>
            <translation>이름 인식</translation>
        </message>
        <message>
            <source>Name does not exist or is wrong.
Please check the Name.</source>
            <translation>이름이 없거나 잘못되었습니다.
이름을 확인하십시오.</translation>
        </message>
        <message>
            <source>Card recognition</source>
            <translation>카드 인식</translation>
        </message>
        <message>
            <source>Card recognition failed.</source>
            <translation>카드 인식에 실패했습니다.</translation>
        </message>
        <message>
            <source>Camera setting change detected.
Changing the camera setting...</source>
            <translation>카메라 설정 변경이 감지되었습니다.
카메라 설정을 변경하는 중입니다...</translation>
        </message>
        <message>
            <source>Please check the camera setting.</source>
            <translation>카메라 설정을 확인하십시오.</translation>
        </message>
        <message>
            <source>Please check the communication status of the bio-reader.</source>
            <translation>생체 인식기의 통신 상태를 확인하십시오.</translation>
        </message>
        <message>
            <source>Data</source>
            <translation>데이터</translation>
        </message>
        <message>
            <source>Duplicate user ID or name.
Please check the following information :
 %s</source>
            <translation>사용자 ID 또는 이름이 중복되었습니다.
다음 정보를 확인하십시오 :
 %s</translation>
        </message>
        <message>
            <source>Number of characters exceeded the limit.
Please check the following information :
 %s</source>
            <translation>글자 수가 제한을 초과했습니다.
다음 정보를 확인하십시오 :
 %s</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>확인</translation>
        </message>
    </context>
    <context>
        <name>COptionDeviceDlg</name>
        <message>
            <source>Device</source>
            <translation>측정기</translation>
        </message>
        <message>
            <source>Unit</source>
            <translation>단위</translation>
        </message>
        <message>
            <source>Low</source>
            <translation>하한</translation>
        </message>
        <message>
            <source>High</source>
            <translation>상한</translation>
        </message>
        <message>
            <source>Test counts</source>
            <translation>측정 횟수</translation>
        </message>
    </context>
    <context>
        <name>COptionDlg</name>
        <message>
            <source>Settings</source>
            <translation>설정</translation>
        </message>
    </context>
    <context>
        <name>CProgressBar</name>
        <message>
            <source>Checking to save data...</source>
            <translation>데이터 저장을 확인하는 중...</translation>
        </message>
        <message>
            <source>Photo Save Total:%1, Current :%2(%3%)</source>
            <translation>사진 저장 전체:%1, 현재 :%2(%3%)</translation>
        </message>
        <message>
            <source>Checking to save xlsx data...</source>
            <translation>xlsx 데이터 저장을 확인하는 중...</translation>
        </message>
        <message>
            <source>Data saving part of the entire data set... :%1(%2%)</source>
            <translation>전체 데이터 중 일부를 저장하는 중... :%1(%2%)</translation>
        </message>
        <message>
            <source>.xlsx Data Save Total:%1, Current :%2(%3%)</source>
            <translation>.xlsx 데이터 저장 전체:%1, 현재 :%2(%3%)</translation>
        </message>
        <message>
            <source>Preparing to display...</source>
            <translation>표시를 준비하는 중...</translation>
        </message>
        <message>
            <source>Total:%1 (%2-%3), Current :%4(%5%)</source>
            <translation>전체:%1 (%2-%3), 현재 :%4(%5%)</translation>
        </message>
        <message>
            <source>Total:%1, Current :%2(%3%)</source>
            <translation>전체:%1, 현재 :%2(%3%)</translation>
        </message>
    </context>
    <context>
        <name>CSkinButton</name>
        <message>
            <source>Close</source>
            <translation>닫기</translation>
        </message>
        <message>
            <source>Minimize</source>
            <translation>최소화</translation>
        </message>
    </context>
    <context>
        <name>CSplash</name>
        <message>
            <source>Loading Program Modules ...</source>
            <translation>프로그램 모듈을 불러오는 중 ...</translation>
        </message>
        <message>
            <source>Loading Program Information ...</source>
            <translation>프로그램 정보를 불러오는 중 ...</translation>
        </message>
        <message>
            <source>Initializing USB connection ...</source>
            <translation>USB 연결을 초기화하는 중 ...</translation>
        </message>
        <message>
            <source>Breath alcohol tester companion</source>
            <translation>호흡 알코올 측정기 도우미 프로그램</translation>
        </message>
    </context>
    <context>
        <name>CVelmoraViewApp</name>
        <message>
            <source>The program folder %1 is in use by another ZOLT7 program.
This one ends without changing anything.</source>
            <translation>프로그램 폴더 %1을(를) 다른 ZOLT7 프로그램이 사용 중입니다.
이 프로그램은 아무것도 변경하지 않고 종료합니다.</translation>
        </message>
        <message>
            <source>The program folder cannot be locked (%1).
The program ends without changing anything.</source>
            <translation>프로그램 폴더를 잠글 수 없습니다 (%1).
프로그램은 아무것도 변경하지 않고 종료합니다.</translation>
        </message>
        <message>
            <source>ZOLT7</source>
            <translation>ZOLT7</translation>
        </message>
    </context>
    <context>
        <name>CVelmoraViewDlg</name>
        <message>
            <source>ZOLT7 2.0</source>
            <translation>ZOLT7 2.0</translation>
        </message>
        <message>
            <source>Central records</source>
            <translation>중앙 기록</translation>
        </message>
        <message>
            <source>Measure</source>
            <translation>측정</translation>
        </message>
        <message>
            <source>Records</source>
            <translation>기록</translation>
        </message>
        <message>
            <source>Settings</source>
            <translation>설정</translation>
        </message>
        <message>
            <source>About</source>
            <translation>정보</translation>
        </message>
        <message>
            <source>Connect</source>
            <translation>연결</translation>
        </message>
        <message>
            <source>Disconnect</source>
            <translation>연결 해제</translation>
        </message>
        <message>
            <source>Port of the instrument</source>
            <translation>측정기 포트</translation>
        </message>
        <message>
            <source>Port</source>
            <translation>포트</translation>
        </message>
        <message>
            <source>ZOLT7 v2.0</source>
            <translation>ZOLT7 v2.0</translation>
        </message>
        <message>
            <source>Device Information</source>
            <translation>측정기 정보</translation>
        </message>
        <message>
            <source>Product</source>
            <translation>제품</translation>
        </message>
        <message>
            <source>Serial Number</source>
            <translation>일련번호</translation>
        </message>
        <message>
            <source>Firmware Version</source>
            <translation>펌웨어 버전</translation>
        </message>
        <message>
            <source>Last Calibration</source>
            <translation>최근 교정</translation>
        </message>
        <message>
            <source>ZOLT7, Version 2.0
%1</source>
            <translation>ZOLT7, 버전 2.0
%1</translation>
        </message>
        <message>
            <source>ZOLT7 Information</source>
            <translation>ZOLT7 정보</translation>
        </message>
        <message>
            <source>The settings</source>
            <translation>설정</translation>
        </message>
        <message>
            <source>How to run a test</source>
            <translation>측정 방법</translation>
        </message>
        <message>
            <source>1.  Choose the instrument's port in the list and press Connect.</source>
            <translation>1.  목록에서 측정기 포트를 선택하고 연결을 누릅니다.</translation>
        </message>
        <message>
            <source>2.  Press Measure, then identify the person to be tested.</source>
            <translation>2.  측정을 누른 다음 측정 대상자를 확인합니다.</translation>
        </message>
        <message>
            <source>3.  Follow the instrument: the result and a photograph are stored.</source>
            <translation>3.  측정기의 안내를 따릅니다: 결과와 사진이 저장됩니다.</translation>
        </message>
        <message>
            <source>4.  Records lists the stored tests; Settings changes the preferences.</source>
            <translation>4.  기록에서 저장된 측정을 보고, 설정에서 환경을 바꿉니다.</translation>
        </message>
        <message>
            <source>Minimize</source>
            <translation>최소화</translation>
        </message>
        <message>
            <source>VelmoraView 정보(&amp;A)...</source>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>CentralPage</name>
        <message>
            <source>%1 could not be saved: %2.</source>
            <translation>%1을(를) 저장할 수 없습니다: %2.</translation>
        </message>
        <message>
            <source>Not saved</source>
            <translation>저장되지 않음</translation>
        </message>
        <message>
            <source>Central records</source>
            <translation>중앙 기록</translation>
        </message>
        <message>
            <source>Database</source>
            <translation>데이터베이스</translation>
        </message>
        <message>
            <source>Station</source>
            <translation>측정소</translation>
        </message>
        <message>
            <source>Send every stored test to the central database</source>
            <translation>저장된 모든 측정을 중앙 데이터베이스로 보내기</translation>
        </message>
        <message>
            <source>A password is never stored here: put it in ~/.pgpass (host:port:database:user:password).</source>
            <translation>비밀번호는 여기에 저장하지 않습니다: ~/.pgpass 에 넣으십시오 (host:port:database:user:password).</translation>
        </message>
        <message>
            <source>Apply</source>
            <translation>적용</translation>
        </message>
    </context>
    <context>
        <name>GridPrint</name>
        <message>
            <source>the print job could not start</source>
            <translation>인쇄 작업을 시작할 수 없습니다</translation>
        </message>
        <message>
            <source>a page could not be printed</source>
            <translation>페이지를 인쇄할 수 없습니다</translation>
        </message>
        <message>
            <source>the print job could not be completed</source>
            <translation>인쇄 작업을 완료할 수 없습니다</translation>
        </message>
        <message>
            <source>the printer</source>
            <translation>프린터</translation>
        </message>
    </context>
    <context>
        <name>LastTestPanel</name>
        <message>
            <source>Last test</source>
            <translation>최근 측정</translation>
        </message>
        <message>
            <source>No result</source>
            <translation>결과 없음</translation>
        </message>
        <message>
            <source>The test ended without a result.</source>
            <translation>측정이 결과 없이 끝났습니다.</translation>
        </message>
        <message>
            <source>The test log is full.</source>
            <translation>측정 기록이 가득 찼습니다.</translation>
        </message>
        <message>
            <source>Not stored</source>
            <translation>저장되지 않음</translation>
        </message>
        <message>
            <source>Last test  No. %1  (not saved to disk)</source>
            <translation>최근 측정  번호 %1  (디스크에 저장되지 않음)</translation>
        </message>
        <message>
            <source>Last test  No. %1</source>
            <translation>최근 측정  번호 %1</translation>
        </message>
        <message>
            <source>Flow error</source>
            <translation>유량 오류</translation>
        </message>
        <message>
            <source>Photograph of test %1</source>
            <translation>측정 %1의 사진</translation>
        </message>
        <message>
            <source>The photograph of test %1 does not match its record</source>
            <translation>측정 %1의 사진이 측정 기록과 일치하지 않습니다</translation>
        </message>
        <message>
            <source>No photograph of test %1</source>
            <translation>측정 %1의 사진 없음</translation>
        </message>
    </context>
    <context>
        <name>MeasureGate</name>
        <message>
            <source>Connected to %1</source>
            <translation>%1에 연결됨</translation>
        </message>
        <message>
            <source>Waiting for the instrument…</source>
            <translation>측정기를 기다리는 중…</translation>
        </message>
        <message>
            <source>Not connected: choose the port and press Connect.</source>
            <translation>연결되지 않음: 포트를 선택하고 연결을 누르십시오.</translation>
        </message>
        <message>
            <source>Not connected: no port found.</source>
            <translation>연결되지 않음: 포트를 찾을 수 없습니다.</translation>
        </message>
    </context>
    <context>
        <name>SettingsPages</name>
        <message>
            <source>Registration</source>
            <translation>사용자 등록</translation>
        </message>
        <message>
            <source>Device</source>
            <translation>측정기</translation>
        </message>
        <message>
            <source>Camera</source>
            <translation>카메라</translation>
        </message>
        <message>
            <source>Print Setting</source>
            <translation>인쇄 설정</translation>
        </message>
        <message>
            <source>Program Setting</source>
            <translation>프로그램 설정</translation>
        </message>
        <message>
            <source>Password</source>
            <translation>비밀번호</translation>
        </message>
        <message>
            <source>Central records</source>
            <translation>중앙 기록</translation>
        </message>
    </context>
    <context>
        <name>StoreNotices</name>
        <message>
            <source>%1 could not be saved: %2.</source>
            <translation>%1을(를) 저장할 수 없습니다: %2.</translation>
        </message>
        <message>
            <source>Not saved</source>
            <translation>저장되지 않음</translation>
        </message>
        <message>
            <source>Data files</source>
            <translation>데이터 파일</translation>
        </message>
    </context>
    <context>
        <name>central</name>
        <message>
            <source>Central: up to date</source>
            <translation>중앙: 최신 상태</translation>
        </message>
        <message>
            <source>Central: cannot connect: %1</source>
            <translation>중앙: 연결할 수 없음: %1</translation>
        </message>
        <message>
            <source>Central: %1</source>
            <translation>중앙: %1</translation>
        </message>
        <message>
            <source>Central: %1 test waiting</source>
            <translation>중앙: 측정 %1건 대기 중</translation>
        </message>
        <message>
            <source>Central: %1 tests waiting</source>
            <translation>중앙: 측정 %1건 대기 중</translation>
        </message>
    </context>
    <context>
        <name>central::CentralWorker</name>
        <message>
            <source>Central: cannot start: %1</source>
            <translation>중앙: 시작할 수 없음: %1</translation>
        </message>
        <message>
            <source>Central: connecting</source>
            <translation>중앙: 연결 중</translation>
        </message>
        <message>
            <source>The central database holds another test %1 of station %2: %3. It was not overwritten; run an audit.</source>
            <translation>중앙 데이터베이스에 측정소 %2의 다른 측정 %1이(가) 있습니다: %3. 덮어쓰지 않았습니다. 감사를 실행하십시오.</translation>
        </message>
    </context>
</TS>
