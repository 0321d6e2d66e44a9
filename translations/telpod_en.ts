<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>BitRateLegend</name>
    <message>
        <source>紫</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>%1のみ</source>
        <translation>%1 only</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1・・・%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>%1 を設定する権限がありません。</source>
        <translation>No permission to configure %1.</translation>
    </message>
    <message>
        <source>管理者権限で次のコマンドを実行してから、もう一度接続してください。</source>
        <translation>Run these commands as administrator, then connect again:</translation>
    </message>
    <message>
        <source>通信中</source>
        <translation>Communicating</translation>
    </message>
    <message>
        <source>終了処理中</source>
        <translation>Closing</translation>
    </message>
    <message>
        <source>機器が正常に動作していません。</source>
        <translation>The device is not working properly.</translation>
    </message>
    <message>
        <source>非対応の通信速度が選択されています。</source>
        <translation>The selected bit rate is not supported.</translation>
    </message>
    <message>
        <source>接続を終了します。</source>
        <translation>The connection ends.</translation>
    </message>
    <message>
        <source>ほかのプログラムが使っているかもしれないため、通信速度は変更しません。</source>
        <translation> Other programs may be using it, so its bit rate is left as it is.</translation>
    </message>
    <message>
        <source>不明な通信速度</source>
        <translation>an unknown bit rate</translation>
    </message>
    <message>
        <source>%1 は %2 で動作しています。</source>
        <translation>%1 is running at %2.</translation>
    </message>
    <message>
        <source>%1 で接続するには、管理者権限で次のコマンドを実行してから、もう一度接続してください。</source>
        <translation>To connect at %1, run these commands as administrator, then connect again:</translation>
    </message>
    <message>
        <source>エラーワーニング</source>
        <translation>error warning</translation>
    </message>
    <message>
        <source>エラーパッシブ</source>
        <translation>error passive</translation>
    </message>
    <message>
        <source>バスオフ</source>
        <translation>bus off</translation>
    </message>
    <message>
        <source>送信エラー %1</source>
        <translation>send errors %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>接続をを終了します。</source>
        <translation>The connection ends.</translation>
    </message>
    <message>
        <source>%1 はほかのプログラムが使用しています。</source>
        <translation>%1 is in use by another program.</translation>
    </message>
    <message>
        <source>管理者にこのポートを読み書きする権限を依頼してください。</source>
        <translation>Ask your administrator for permission to read and write this port.</translation>
    </message>
    <message>
        <source>%1 グループに参加してから、ログインし直してください。</source>
        <translation>Join the group %1, then log in again.</translation>
    </message>
    <message>
        <source>%1 を開く権限がありません。</source>
        <translation>No permission to open %1.</translation>
    </message>
</context>
<context>
    <name>DeviceInfo</name>
    <message>
        <source>高速CAN対応</source>
        <translation>high-speed CAN</translation>
    </message>
    <message>
        <source>P/N：%1  S/N：%2  FW：%3</source>
        <translation>P/N: %1  S/N: %2  FW: %3</translation>
    </message>
</context>
<context>
    <name>RecordedLog</name>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>CAN FD フレーム %1</source>
        <translation>CAN FD frames: %1</translation>
    </message>
    <message>
        <source>エラーフレーム %1</source>
        <translation>error frames: %1</translation>
    </message>
    <message>
        <source>読めない行 %1</source>
        <translation>unreadable lines: %1</translation>
    </message>
    <message>
        <source>その他のイベント %1</source>
        <translation>other events: %1</translation>
    </message>
    <message>
        <source>ログファイル %1 を開けません。</source>
        <translation>Cannot open the log file %1.</translation>
    </message>
    <message>
        <source>ログファイル %1 には送信できるフレームがありません。</source>
        <translation>The log file %1 holds no frame that can be sent.</translation>
    </message>
</context>
<context>
    <name>Replay</name>
    <message>
        <source>他のチャネルのフレーム %1</source>
        <translation>frames of other channels: %1</translation>
    </message>
    <message>
        <source>選ばれていない ID のフレーム %1</source>
        <translation>frames of identifiers not chosen: %1</translation>
    </message>
    <message>
        <source>この機器が送れないリモートフレーム %1</source>
        <translation>remote frames the device cannot send: %1</translation>
    </message>
    <message>
        <source>送信 %1 フレーム、拒否 %2 フレーム</source>
        <translation>Frames sent: %1, refused: %2</translation>
    </message>
    <message>
        <source>送らなかったもの：%1</source>
        <translation>Not sent: %1</translation>
    </message>
    <message>
        <source>記録の長さ %1 秒、再生の長さ %2 秒</source>
        <translation>Recorded %1 s, played %2 s</translation>
    </message>
    <message>
        <source>%1 周</source>
        <translation>Rounds: %1</translation>
    </message>
    <message>
        <source>遅れ：中央値 %1 ms、99 パーセンタイル %2 ms、最大 %3 ms</source>
        <translation>Lateness: median %1 ms, 99th percentile %2 ms, largest %3 ms</translation>
    </message>
    <message>
        <source>再生は途中で止められました。</source>
        <translation>The replay was stopped before its end.</translation>
    </message>
    <message>
        <source>ログの再生</source>
        <translation>Log replay</translation>
    </message>
</context>
<context>
    <name>RowRuleText</name>
    <message>
        <source>XOR（排他的論理和）</source>
        <translation>XOR (exclusive or)</translation>
    </message>
    <message>
        <source>SUM（和の下位 8 ビット）</source>
        <translation>SUM (the low 8 bits of the sum)</translation>
    </message>
    <message>
        <source>カウンター：%1 のビット %2〜%3 に %4 から %5 まで %6 ずつ</source>
        <translation>Counter: bits %2 to %3 of %1, from %4 up to %5 by %6</translation>
    </message>
    <message>
        <source>ほかのすべてのバイト</source>
        <translation>every other byte</translation>
    </message>
    <message>
        <source>、データID 0x%1</source>
        <translation>, data ID 0x%1</translation>
    </message>
    <message>
        <source>チェックサム：%1 に %2（%3）</source>
        <translation>Checksum: %2 in %1 (%3)</translation>
    </message>
</context>
<context>
    <name>RowRules</name>
    <message>
        <source>データバイトは D1〜D8 のどれかです。</source>
        <translation>The data byte must be one of D1 to D8.</translation>
    </message>
    <message>
        <source>カウンターのビットがバイトの外に出ています（開始ビットとビット数の和は 8 まで）。</source>
        <translation>The counter&apos;s bits reach outside the byte (first bit plus number of bits is at most 8).</translation>
    </message>
    <message>
        <source>カウンターの開始値と折り返し値は、そのビット数に収まる値です。</source>
        <translation>The counter&apos;s start and wrap values must fit in its bits.</translation>
    </message>
    <message>
        <source>カウンターの増分は 1 から、そのビット数に収まる最大値までです。</source>
        <translation>The counter&apos;s step runs from 1 up to the largest value its bits hold.</translation>
    </message>
    <message>
        <source>カウンターの開始値が折り返し値より大きくなっています。</source>
        <translation>The counter&apos;s start value is above its wrap value.</translation>
    </message>
    <message>
        <source>カウンターとチェックサムが同じビットを使っています。</source>
        <translation>The counter and the checksum use the same bits.</translation>
    </message>
    <message>
        <source>チェックサムのバイトは、チェックサムの対象に含められません。</source>
        <translation>The checksum byte cannot be among the bytes it covers.</translation>
    </message>
    <message>
        <source>チェックサムの対象のバイトがありません。</source>
        <translation>The checksum covers no byte.</translation>
    </message>
    <message>
        <source>データIDを使えるのは CRC だけです。</source>
        <translation>Only the CRCs take a data ID.</translation>
    </message>
    <message>
        <source>カウンターのバイトが DLC を超えています。</source>
        <translation>The counter&apos;s byte lies beyond the DLC.</translation>
    </message>
    <message>
        <source>チェックサムのバイトが DLC を超えています。</source>
        <translation>The checksum byte lies beyond the DLC.</translation>
    </message>
    <message>
        <source>チェックサムの対象に DLC を超えるバイトがあります。</source>
        <translation>The checksum covers bytes beyond the DLC.</translation>
    </message>
</context>
<context>
    <name>RowRulesFile</name>
    <message>
        <source>ファイルが大きすぎます。</source>
        <translation>The file is too large.</translation>
    </message>
    <message>
        <source>行の規則のファイル %1 の %2 行目を読めません：%3</source>
        <translation>The row rules file %1 cannot be read at line %2: %3</translation>
    </message>
    <message>
        <source>行の規則のファイル %1 を読めません：%2</source>
        <translation>The row rules file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>どの行も規則なしで送ります。ファイルは、規則を変えるまでそのまま残します。</source>
        <translation>Every row is sent without rules. The file stays as it is until a rule is changed.</translation>
    </message>
    <message>
        <source>JSON の書き方が正しくありません。</source>
        <translation>This is not well-formed JSON.</translation>
    </message>
    <message>
        <source>「%1」の値の種類が違います。</source>
        <translation>The value of &quot;%1&quot; is of the wrong kind.</translation>
    </message>
    <message>
        <source>「%1」が書かれていません。</source>
        <translation>&quot;%1&quot; is missing.</translation>
    </message>
    <message>
        <source>「%1」という項目はありません。</source>
        <translation>There is no item &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>「%1」の値が範囲の外です。</source>
        <translation>The value of &quot;%1&quot; is out of range.</translation>
    </message>
    <message>
        <source>行 %1 の規則が二つあります。</source>
        <translation>Row %1 has two rules.</translation>
    </message>
    <message>
        <source>データバイトは「D1」〜「D8」で書きます。</source>
        <translation>Data bytes are written &quot;D1&quot; to &quot;D8&quot;.</translation>
    </message>
    <message>
        <source>「%1」というアルゴリズムはありません（XOR、SUM、CRC-8-SAE-J1850、CRC-8H2F）。</source>
        <translation>There is no algorithm &quot;%1&quot; (XOR, SUM, CRC-8-SAE-J1850, CRC-8H2F).</translation>
    </message>
    <message>
        <source>形式 %1 は、このプログラムでは読めません。</source>
        <translation>This program cannot read format %1.</translation>
    </message>
</context>
<context>
    <name>SettingFile</name>
    <message>
        <source>保存する文字列が長すぎます。</source>
        <translation>A text to be saved is too long.</translation>
    </message>
    <message>
        <source>予期しないエラーが発生しました。</source>
        <translation>An unexpected error occurred.</translation>
    </message>
    <message>
        <source>設定を保存するフォルダーを作れませんでした。</source>
        <translation>The folder for the settings could not be made.</translation>
    </message>
</context>
<context>
    <name>SettingsExport</name>
    <message>
        <source>設定をcsvでエクスポートしました。</source>
        <translation>The settings were exported as CSV.</translation>
    </message>
    <message>
        <source>設定 Export</source>
        <translation>Export settings</translation>
    </message>
    <message>
        <source>設定のエクスポートに失敗しました。</source>
        <translation>Exporting the settings failed.</translation>
    </message>
    <message>
        <source>設定をxlsでエクスポートしました。</source>
        <translation>The settings were exported as xls.</translation>
    </message>
</context>
<context>
    <name>SettingsImport</name>
    <message>
        <source>設定 import</source>
        <translation>Import settings</translation>
    </message>
    <message>
        <source>設定をインポートしました。</source>
        <translation>The settings were imported.</translation>
    </message>
    <message>
        <source>設定のインポートに失敗しました。</source>
        <translation>Importing the settings failed.</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source> もしくは </source>
        <translation> or </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 を使用できません。</source>
        <translation>%1 cannot be used.</translation>
    </message>
    <message>
        <source>%1 が見つかりません。</source>
        <translation>%1 was not found.</translation>
    </message>
    <message>
        <source>ドライバがインストールされていません。</source>
        <translation>No driver is installed.</translation>
    </message>
    <message>
        <source>%1 は同梱のものを使用してください。</source>
        <translation>Use the %1 that comes with the program.</translation>
    </message>
    <message>
        <source>アプリケーションを終了します。</source>
        <translation>The application ends.</translation>
    </message>
    <message>
        <source>デバイスが見つかりません。</source>
        <translation>No device was found.</translation>
    </message>
</context>
<context>
    <name>telpod::BusLoadLabel</name>
    <message>
        <source>周期送信する行が求めるバス負荷（最悪のビットスタッフィングでの推定）。接続中は、機器が直近1秒に送信した実測値を括弧内に示します。</source>
        <translation>The bus load the periodic rows ask for (estimated at worst-case bit stuffing). While connected, the load the device achieved over the last second follows in parentheses.</translation>
    </message>
    <message>
        <source>100%超</source>
        <translation>over 100%</translation>
    </message>
    <message>
        <source>バス負荷 %1（実測 %2）</source>
        <translation>Bus load %1 (achieved %2)</translation>
    </message>
    <message>
        <source>バス負荷 %1</source>
        <translation>Bus load %1</translation>
    </message>
</context>
<context>
    <name>telpod::ConnectionArea</name>
    <message>
        <source>接続</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>切断</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>【通信モード】&#x3000;通信速度の設定は、[ツール(T)] - [共通設定(S)] で変更できます</source>
        <translation>[Communication mode] The bit rate is set in [Tools] - [Common settings].</translation>
    </message>
    <message>
        <source>ウィンドウに触れるな!!</source>
        <translation>Hands off the window!!</translation>
    </message>
    <message>
        <source>接続中にウィンドウを動かしたり、メニューバーを操作すると、受信が途絶します。</source>
        <translation>Moving the window or using the menu bar while connected interrupts the traffic.</translation>
    </message>
    <message>
        <source>通信速度</source>
        <translation>Bit rate</translation>
    </message>
    <message>
        <source>機器No.</source>
        <translation>Device No.</translation>
    </message>
    <message>
        <source>機器情報</source>
        <translation>Device info</translation>
    </message>
    <message>
        <source>ステータス</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>telpod::Form1</name>
    <message>
        <source>デバイスの初期処理中</source>
        <translation>Preparing the devices</translation>
    </message>
    <message>
        <source>検索結果の判断処理中</source>
        <translation>Evaluating the search</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>設定をインポート(&amp;i)</source>
        <translation>&amp;Import settings...</translation>
    </message>
    <message>
        <source>設定をエクスポート</source>
        <translation>&amp;Export settings</translation>
    </message>
    <message>
        <source>csv形式(&amp;C)</source>
        <translation>&amp;CSV format...</translation>
    </message>
    <message>
        <source>Excel形式(&amp;E)</source>
        <translation>&amp;Excel format...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>共通設定(&amp;S)</source>
        <translation>Common &amp;settings...</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About TELPOD</translation>
    </message>
    <message>
        <source>%1 を保存できませんでした。</source>
        <translation>%1 could not be saved.</translation>
    </message>
    <message>
        <source>理由：%1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <source>ウィンドウを開いたままにすると、設定をエクスポートしてから閉じることができます。</source>
        <translation>Keep the window open to export the settings before closing.</translation>
    </message>
    <message>
        <source>開いたままにする</source>
        <translation>Keep open</translation>
    </message>
    <message>
        <source>保存せずに閉じる</source>
        <translation>Close without saving</translation>
    </message>
    <message>
        <source>名前を付けて設定を保存</source>
        <translation>Save settings as</translation>
    </message>
    <message>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>xls ファイル (*.xls)</source>
        <translation>xls files (*.xls)</translation>
    </message>
    <message>
        <source>設定ファイルをインポート</source>
        <translation>Import a settings file</translation>
    </message>
    <message>
        <source>設定ファイル (*.csv *.xls)</source>
        <translation>Settings files (*.csv *.xls)</translation>
    </message>
    <message>
        <source>通信初期処理中</source>
        <translation>Starting communication</translation>
    </message>
    <message>
        <source>ログを再生(&amp;P)</source>
        <translation>&amp;Play a log...</translation>
    </message>
</context>
<context>
    <name>telpod::FormCommonSetting</name>
    <message>
        <source>通信速度</source>
        <translation>Bit rate</translation>
    </message>
    <message>
        <source>接続中に警告表示をする</source>
        <translation>Show a warning while connected</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;- 共通設定 -</source>
        <translation>  - Common settings -</translation>
    </message>
</context>
<context>
    <name>telpod::FormVersion</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>telpod::MessageRows</name>
    <message>
        <source>EX</source>
        <translation>EX</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>DLC</source>
        <translation>DLC</translation>
    </message>
    <message>
        <source>DATA</source>
        <translation>DATA</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>RT</source>
        <translation>RT</translation>
    </message>
    <message>
        <source>規則</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>カウンターとチェックサム</source>
        <translation>Counter and checksum</translation>
    </message>
</context>
<context>
    <name>telpod::ReplayPanel</name>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>再生するログファイルを選択</source>
        <translation>Choose a log file to play</translation>
    </message>
    <message>
        <source>CAN ログ (*.log *.asc);;すべてのファイル (*)</source>
        <translation>CAN logs (*.log *.asc);;All files (*)</translation>
    </message>
    <message>
        <source>%1：%2 / %3 秒、%4 フレーム</source>
        <translation>%1: %2 / %3 s, %4 frames</translation>
    </message>
    <message>
        <source>%1：%2 秒、%3 フレーム</source>
        <translation>%1: %2 s, %3 frames</translation>
    </message>
    <message>
        <source>ログファイル：%1</source>
        <translation>Log file: %1</translation>
    </message>
</context>
<context>
    <name>telpod::RowRulesDialog</name>
    <message>
        <source>カウンターとチェックサム - 行 %1</source>
        <translation>Counter and checksum - row %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>規則を削除</source>
        <translation>Remove the rule</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>カウンター</source>
        <translation>Counter</translation>
    </message>
    <message>
        <source>データバイト</source>
        <translation>Data byte</translation>
    </message>
    <message>
        <source>開始ビット（0 が最下位）</source>
        <translation>First bit (0 is the lowest)</translation>
    </message>
    <message>
        <source>ビット数</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>開始値</source>
        <translation>Start value</translation>
    </message>
    <message>
        <source>増分</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>折り返し値（この値の次は開始値）</source>
        <translation>Wrap value (the start value follows it)</translation>
    </message>
    <message>
        <source>チェックサム</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>ほかのすべてのバイト</source>
        <translation>Every other byte</translation>
    </message>
    <message>
        <source>データID（CRC のみ）</source>
        <translation>Data ID (CRCs only)</translation>
    </message>
    <message>
        <source>計算方法</source>
        <translation>Algorithm</translation>
    </message>
    <message>
        <source>対象のバイト</source>
        <translation>Covered bytes</translation>
    </message>
</context>
</TS>
