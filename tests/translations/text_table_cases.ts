<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Quorvane</name>
    <message>
        <location filename="a.cpp" line="3"/>
        <source>a;b &amp; &lt;c&gt; &quot;q&quot; \x</source>
        <translation type="unfinished">A;B &amp; "Q" \ ${X}</translation>
    </message>
    <message>
        <source>gone</source>
        <translation type="vanished">Gone</translation>
    </message>
    <message>
        <source>empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>short</source>
        <translation type="unfinished"/>
    </message>
    <message>
        <source>dis</source>
        <comment>menu</comment>
        <translation>Dis</translation>
    </message>
    <message>
        <source>two
lines</source>
        <extracomment>note</extracomment>
        <translation>Two
lines</translation>
    </message>
</context>
<context>
    <name>Other</name>
    <message>
        <source>x</source>
        <translation>y</translation>
    </message>
</context>
</TS>
