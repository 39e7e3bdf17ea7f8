<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
  <context>
    <name>Quorvane</name>
    <message>
      <source>AES256/Camellia256文件加解密</source>
      <translation>AES256/Camellia256 File Encryption</translation>
    </message>
    <message>
      <source>文件哈希值计算(MD5/SHA-1/SHA512..)</source>
      <translation>File Hashes (MD5/SHA-1/SHA512..)</translation>
    </message>
    <message>
      <source>安全工具</source>
      <translation>Security Tools</translation>
    </message>
    <message>
      <source>关于...</source>
      <translation>About...</translation>
    </message>
    <message>
      <source>就绪.</source>
      <translation>Ready.</translation>
    </message>
    <message>
      <source>欢迎任何反馈、意见和建议。</source>
      <translation>Any feedback, comments and suggestions are welcome.</translation>
    </message>
    <message>
      <source>AES(高级加密标准)， 是当今安全性最好的对称分组式密码算法之一。</source>
      <translation>AES (Advanced Encryption Standard) is one of the most secure symmetric block ciphers today.</translation>
    </message>
    <message>
      <source>本程序实现的AES相关功能的一部分是基于FIPS-197文档中的描述。</source>
      <translation>The AES functions of this program are based in part on the description in FIPS-197.</translation>
    </message>
    <message>
      <source>本程序实现的Camellia相关功能的一部分是基于RFC-3713文档中的描述。</source>
      <translation>The Camellia functions of this program are based in part on the description in RFC-3713.</translation>
    </message>
    <message>
      <source>添加程序到文件管理器的“打开方式”菜单</source>
      <translation>Add the program to the file manager's "Open With" menu</translation>
    </message>
    <message>
      <source>添加程序到Windows右键菜单</source>
      <translation>Add the program to the Windows context menu</translation>
    </message>
    <message>
      <source>解密</source>
      <translation>Decrypt</translation>
    </message>
    <message>
      <source>安全擦除原文件</source>
      <translation>Wipe source file</translation>
    </message>
    <message>
      <source>加密</source>
      <translation>Encrypt</translation>
    </message>
    <message>
      <source>停止</source>
      <translation>Stop</translation>
    </message>
    <message>
      <source>拖动文件到此处或点击”添加文件...“</source>
      <translation>Drop files here or click "Add files..."</translation>
    </message>
    <message>
      <source>加密密钥：</source>
      <translation>Key:</translation>
    </message>
    <message>
      <source>选项</source>
      <translation>Options</translation>
    </message>
    <message>
      <source>密码算法：</source>
      <translation>Cipher:</translation>
    </message>
    <message>
      <source>操作</source>
      <translation>Action</translation>
    </message>
    <message>
      <source>添加文件...</source>
      <translation>Add files...</translation>
    </message>
    <message>
      <source>移除</source>
      <translation>Remove</translation>
    </message>
    <message>
      <source>清空</source>
      <translation>Clear</translation>
    </message>
    <message>
      <source>打开文件位置...</source>
      <translation>Open folder...</translation>
    </message>
    <message>
      <source>选择算法和文件：</source>
      <translation>Choose algorithms and a file:</translation>
    </message>
    <message>
      <source>状态</source>
      <translation>Status</translation>
    </message>
    <message>
      <source>结果</source>
      <translation>Result</translation>
    </message>
    <message>
      <source>Keccak(SHA-3 候选)</source>
      <translation>Keccak (SHA-3 draft)</translation>
    </message>
    <message>
      <source>拖动文件到这个窗口或点击"打开..."</source>
      <translation>Drop a file on this window or click "Open..."</translation>
    </message>
    <message>
      <source>打开...</source>
      <translation>Open...</translation>
    </message>
    <message>
      <source>线程：</source>
      <translation>Thread:</translation>
    </message>
    <message>
      <source>进度：</source>
      <translation>Progress:</translation>
    </message>
    <message>
      <source>退出</source>
      <translation>Exit</translation>
    </message>
    <message>
      <source>随机密码生成器</source>
      <translation>Random password generator</translation>
    </message>
    <message>
      <source>密码长度(1-9999):</source>
      <translation>Length (1-9999):</translation>
    </message>
    <message>
      <source>生成</source>
      <translation>Generate</translation>
    </message>
    <message>
      <source>大写字母</source>
      <translation>A-Z</translation>
    </message>
    <message>
      <source>小写字母</source>
      <translation>a-z</translation>
    </message>
    <message>
      <source>数字</source>
      <translation>0-9</translation>
    </message>
    <message>
      <source>特殊符号</source>
      <translation>Symbols</translation>
    </message>
    <message>
      <source>Base64 编码/解码</source>
      <translation>Base64 encode/decode</translation>
    </message>
    <message>
      <source>输入明文或编码：</source>
      <translation>Plain text or Base64:</translation>
    </message>
    <message>
      <source>编码</source>
      <translation>Encode</translation>
    </message>
    <message>
      <source>解码</source>
      <translation>Decode</translation>
    </message>
    <message>
      <source>文件安全擦除（谨慎使用！）：</source>
      <translation>Secure file wipe (use with care!):</translation>
    </message>
    <message>
      <source>拖拽文件或点击"+"</source>
      <translation>Drop files or click "+"</translation>
    </message>
    <message>
      <source>擦除1次</source>
      <translation>1 pass</translation>
    </message>
    <message>
      <source>擦除7次</source>
      <translation>7 passes</translation>
    </message>
    <message>
      <source>擦除35次</source>
      <translation>35 passes</translation>
    </message>
    <message>
      <source>擦除</source>
      <translation>Wipe</translation>
    </message>
    <message>
      <source>访问注册表失败，此操作需要管理员权限</source>
      <translation>Could not change the program's menu entry.</translation>
    </message>
    <message>
      <source>成功添加到右键菜单</source>
      <translation>The program's menu entry was added.</translation>
    </message>
    <message>
      <source>成功删除右键菜单项</source>
      <translation>The program's menu entry was removed.</translation>
    </message>
    <message>
      <source>提示</source>
      <translation>Notice</translation>
    </message>
    <message>
      <source>打开文件失败</source>
      <translation>Cannot open file</translation>
    </message>
    <message>
      <source>文件路径</source>
      <translation>File path</translation>
    </message>
    <message>
      <source>文件大小</source>
      <translation>Size</translation>
    </message>
    <message>
      <source>就绪</source>
      <translation>Ready</translation>
    </message>
    <message>
      <source>所有文件(*.*)</source>
      <translation>All files (*.*)</translation>
    </message>
    <message>
      <source>列表为空.</source>
      <translation>The list is empty.</translation>
    </message>
    <message>
      <source>请输入加密密钥.</source>
      <translation>Please enter the encryption key.</translation>
    </message>
    <message>
      <source>解密失败</source>
      <translation>Decryption failed</translation>
    </message>
    <message>
      <source>加密失败</source>
      <translation>Encryption failed</translation>
    </message>
    <message>
      <source>解密完成</source>
      <translation>Decrypted</translation>
    </message>
    <message>
      <source>加密完成</source>
      <translation>Encrypted</translation>
    </message>
    <message>
      <source>完成并已擦除</source>
      <translation>Done, source wiped</translation>
    </message>
    <message>
      <source>擦除失败</source>
      <translation>Wipe failed</translation>
    </message>
    <message>
      <source>擦除中 %1%..</source>
      <translation>Wiping %1%..</translation>
    </message>
    <message>
      <source>解密 %1%..</source>
      <translation>Decrypting %1%..</translation>
    </message>
    <message>
      <source>加密 %1%..</source>
      <translation>Encrypting %1%..</translation>
    </message>
    <message>
      <source>已取消</source>
      <translation>Cancelled</translation>
    </message>
    <message>
      <source>计算 MD5...</source>
      <translation>Computing MD5...</translation>
    </message>
    <message>
      <source>计算 SHA-1...</source>
      <translation>Computing SHA-1...</translation>
    </message>
    <message>
      <source>计算 SHA256...</source>
      <translation>Computing SHA256...</translation>
    </message>
    <message>
      <source>计算 SHA512...</source>
      <translation>Computing SHA512...</translation>
    </message>
    <message>
      <source>计算 Keccak...</source>
      <translation>Computing Keccak...</translation>
    </message>
    <message>
      <source>读取文件失败</source>
      <translation>Cannot read file</translation>
    </message>
    <message>
      <source>没有选择算法</source>
      <translation>No algorithm selected</translation>
    </message>
    <message>
      <source>文件路径: </source>
      <translation>File path: </translation>
    </message>
    <message>
      <source>已擦除</source>
      <translation>Wiped</translation>
    </message>
    <message>
      <source>擦除 %1 MB..</source>
      <translation>Wiping %1 MB..</translation>
    </message>
    <message>
      <source>没有添加文件到列表</source>
      <translation>No files have been added to the list</translation>
    </message>
    <message>
      <source>列表中的文件将会永远丢失！</source>
      <translation>The files in the list will be lost forever!</translation>
    </message>
    <message>
      <source>警告</source>
      <translation>Warning</translation>
    </message>
    <message>
      <source>最多 %1 个字符</source>
      <translation>At most %1 characters</translation>
    </message>
    <message>
      <source>无法打开文件所在的文件夹：没有可用的文件管理器。</source>
      <translation>The file's folder could not be opened: no file manager is available.</translation>
    </message>
    <message>
      <source>添加文件</source>
      <translation>Add files</translation>
    </message>
    <message>
      <source>使用 Quorvane 打开</source>
      <translation>Open with Quorvane</translation>
    </message>
    <message>
      <source>已停止，源文件未擦除</source>
      <translation>Stopped; the source was not wiped</translation>
    </message>
    <message>
      <source>%1：%2</source>
      <translation>%1: %2</translation>
    </message>
    <message>
      <source>无法打开文件</source>
      <translation>Cannot open the file</translation>
    </message>
    <message>
      <source>不是普通文件</source>
      <translation>Not a regular file</translation>
    </message>
    <message>
      <source>文件正被另一个任务使用</source>
      <translation>The file is in use by another run</translation>
    </message>
    <message>
      <source>不是加密文件（大小不符）</source>
      <translation>Not an encrypted file (its size cannot be one)</translation>
    </message>
    <message>
      <source>密码或算法错误（填充校验失败）</source>
      <translation>Wrong password or algorithm (the padding does not check)</translation>
    </message>
    <message>
      <source>读取失败</source>
      <translation>Read failed</translation>
    </message>
    <message>
      <source>磁盘空间不足</source>
      <translation>No space left on the disk</translation>
    </message>
    <message>
      <source>超出磁盘配额</source>
      <translation>Disk quota exceeded</translation>
    </message>
    <message>
      <source>文件过大</source>
      <translation>File too large for the destination</translation>
    </message>
    <message>
      <source>写入失败</source>
      <translation>Write failed</translation>
    </message>
    <message>
      <source>文件在读取期间被修改</source>
      <translation>The file changed while it was read</translation>
    </message>
    <message>
      <source>文件已被替换或删除，未覆写任何内容</source>
      <translation>The file was replaced or removed meanwhile; nothing was overwritten</translation>
    </message>
    <message>
      <source>已停止</source>
      <translation>Stopped</translation>
    </message>
    <message>
      <source>目标文件已存在且不能替换</source>
      <translation>The output file exists and may not be replaced</translation>
    </message>
    <message>
      <source>文件无法删除（所在文件夹不可写或文件不可更改），未覆写任何内容</source>
      <translation>The file cannot be deleted (its folder is not writable, or the file is immutable); nothing was overwritten</translation>
    </message>
    <message>
      <source>系统错误</source>
      <translation>System error</translation>
    </message>
    <message>
      <source>错误 %1</source>
      <translation>Error %1</translation>
    </message>
  </context>
</TS>
