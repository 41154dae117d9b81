<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>varnow::AboutBox</name>
    <message>
        <source>© 2004–2026 Команда Varnow, лицензия MIT</source>
        <translation>© 2004–2026 The Varnow team, MIT licence</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About Varnow</translation>
    </message>
    <message>
        <source>%1, версия файла %2</source>
        <translation>%1, file version %2</translation>
    </message>
    <message>
        <source>Руководство (README)</source>
        <translation>Manual (README)</translation>
    </message>
    <message>
        <source>Лицензия</source>
        <translation>Licence</translation>
    </message>
    <message>
        <source>Копировать путь</source>
        <translation>Copy the path</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Файл настроек: </source>
        <translation>Settings file: </translation>
    </message>
</context>
<context>
    <name>varnow::BannerListEditor</name>
    <message>
        <source>Правка баннеров</source>
        <translation>Edit banners</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Конец</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Записать пару в выбранную строку (если строка не выбрана — в первую пустую)</source>
        <translation>Store the pair in the selected row (with no row selected, in the first empty one)</translation>
    </message>
    <message>
        <source>&amp;Закрыть</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Метка начала блока (Alt+Н)</source>
        <translation>The block&apos;s start marker (Alt+S)</translation>
    </message>
    <message>
        <source>Метка конца блока (Alt+К)</source>
        <translation>The block&apos;s end marker (Alt+E)</translation>
    </message>
    <message>
        <source>Alt+Н</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <source>Alt+К</source>
        <translation>Alt+E</translation>
    </message>
    <message>
        <source>Все строки заняты: выберите в списке строку, в которую записать пару. Набранное остается в полях.</source>
        <translation>Every row is taken: select the row in the list to store the pair in. What you typed stays in the fields.</translation>
    </message>
    <message>
        <source>Строка %1 хранит пару «%2» … «%3». Очистить ее?</source>
        <translation>Row %1 holds the pair “%2” … “%3”. Clear it?</translation>
    </message>
    <message>
        <source>Строка %1 хранит пару «%2» … «%3». Заменить ее набранной?</source>
        <translation>Row %1 holds the pair “%2” … “%3”. Replace it with the one typed?</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
</context>
<context>
    <name>varnow::ChangeViewer</name>
    <message>
        <source>Предыдущее</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Предыдущее изменение (Shift+F3)</source>
        <translation>Previous change (Shift+F3)</translation>
    </message>
    <message>
        <source>Следующее</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Следующее изменение (F3)</source>
        <translation>Next change (F3)</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Показать очищенную страницу вместо исходной</source>
        <translation>Show the cleaned page in place of the source</translation>
    </message>
    <message>
        <source>Кодировка: %1. </source>
        <translation>Encoding: %1. </translation>
    </message>
    <message>
        <source>Изменений нет</source>
        <translation>No changes</translation>
    </message>
    <message>
        <source>%1 из %2: %3</source>
        <translation>%1 of %2: %3</translation>
    </message>
</context>
<context>
    <name>varnow::ErrorBox</name>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>varnow::Language</name>
    <message>
        <source>ru</source>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>varnow::LogPane</name>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
</context>
<context>
    <name>varnow::MainWindow</name>
    <message>
        <source>Программа Varnow предназначена для очистки *.htm и *.html файлов.</source>
        <translation>Varnow cleans *.htm and *.html files.</translation>
    </message>
    <message>
        <source>Иногда тэги &lt;script&gt;&lt;/script&gt; и &lt;noscript&gt;&lt;/noscript&gt; служат для организации меню. Поэтому если вы обработайте такой</source>
        <translation>Sometimes &lt;script&gt;&lt;/script&gt; and &lt;noscript&gt;&lt;/noscript&gt; tags make up a menu. So if you clean such a</translation>
    </message>
    <message>
        <source>документ, то все испортите. </source>
        <translation>page, you will spoil it. </translation>
    </message>
    <message>
        <source>&amp;Настройки</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>В&amp;ыход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;О программе...</source>
        <translation>&amp;About Varnow</translation>
    </message>
    <message>
        <source>&amp;Сводка</source>
        <translation>S&amp;ummary</translation>
    </message>
    <message>
        <source>Открыть &amp;папку результатов</source>
        <translation>Open the &amp;results folder</translation>
    </message>
    <message>
        <source>Открыть &amp;log.txt</source>
        <translation>Open &amp;log.txt</translation>
    </message>
    <message>
        <source>Выполнить (F5)</source>
        <translation>Execute (F5)</translation>
    </message>
    <message>
        <source>Выбрать папку</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Остановить (Esc, Ctrl+.)</source>
        <translation>Stop (Esc, Ctrl+.)</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Готово</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Настройки...</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>Не задана программа, чтобы открыть папку: </source>
        <translation>No program is set to open the folder: </translation>
    </message>
    <message>
        <source>Не задана программа, чтобы открыть файл: </source>
        <translation>No program is set to open the file: </translation>
    </message>
    <message>
        <source>Сюда перетаскивают папку или страницу *.htm, *.html, а не </source>
        <translation>Drop a folder or an *.htm, *.html page here, not </translation>
    </message>
    <message>
        <source>Выберите папку с HTML файлами</source>
        <translation>Choose the folder of HTML files</translation>
    </message>
    <message>
        <source>Выделено строк: %1. В буфер обмена скопированы первые %2: больше %3 МБ текста он не принимает.</source>
        <translation>Lines selected: %1. The first %2 were copied to the clipboard: it takes no more than %3 MB of text.</translation>
    </message>
    <message>
        <source>Недостаточно памяти, чтобы показать изменения страницы </source>
        <translation>Not enough memory to show the changes of the page </translation>
    </message>
    <message>
        <source>Недостаточно памяти, чтобы показать изменения.</source>
        <translation>Not enough memory to show the changes.</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Проверить: весь запуск, ничего не записывая (Shift+F5)</source>
        <translation>Check: the whole run, writing nothing (Shift+F5)</translation>
    </message>
    <message>
        <source>Только измененные</source>
        <translation>Only changed pages</translation>
    </message>
    <message>
        <source>Очищать только страницы, которые изменились с прошлого запуска (их исходный файл, настройки или копия); остальные записываются в лог как неизмененные</source>
        <translation>Clean only the pages changed since the last run (their source, settings or copy); the others are logged as unchanged</translation>
    </message>
</context>
<context>
    <name>varnow::SettingsDialog</name>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>О&amp;К</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Отм&amp;ена</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Пути</source>
        <translation>Paths</translation>
    </message>
    <message>
        <source>Ката&amp;лог сохраненных файлов</source>
        <translation>Output fol&amp;der</translation>
    </message>
    <message>
        <source>Alt+В</source>
        <translation>Alt+H</translation>
    </message>
    <message>
        <source>Выбрать папку (Alt+В)</source>
        <translation>Choose a folder (Alt+H)</translation>
    </message>
    <message>
        <source>Ко&amp;дировка log.txt</source>
        <translation>log.txt &amp;encoding</translation>
    </message>
    <message>
        <source>windows-1251: символ, которого в ней нет, записывается как &amp;#NNN;</source>
        <translation>windows-1251: a character it lacks is written as &amp;#NNN;</translation>
    </message>
    <message>
        <source>&amp;Язык log.txt</source>
        <translation>log.txt lan&amp;guage</translation>
    </message>
    <message>
        <source>Язык строк лога: в log.txt, в окне и в терминале. Русский — формат, который читают прежние логи и программы, разбирающие их.</source>
        <translation>The language of the log&apos;s lines: in log.txt, in the window and in the terminal. Russian is the format earlier logs, and the programs that read them, keep to.</translation>
    </message>
    <message>
        <source>Язык &amp;интерфейса</source>
        <translation>Interface lang&amp;uage</translation>
    </message>
    <message>
        <source>Меню, окна и сообщения программы. Действует со следующего запуска.</source>
        <translation>The program&apos;s menus, windows and messages. Takes effect at the next start.</translation>
    </message>
    <message>
        <source>со следующего запуска</source>
        <translation>from the next start</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Формат документа</source>
        <translation>Document format</translation>
    </message>
    <message>
        <source>Скрипты</source>
        <translation>Scripts</translation>
    </message>
    <message>
        <source>Правка баннеров (Alt+.)</source>
        <translation>Edit banners (Alt+.)</translation>
    </message>
    <message>
        <source>Папка для сохранения обработанных файлов</source>
        <translation>The folder to save the cleaned files in</translation>
    </message>
</context>
<context>
    <name>varnow::SummaryPanel</name>
    <message>
        <source>&lt;b&gt;Сводка&lt;/b&gt;</source>
        <translation>&lt;b&gt;Summary&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Скрыть сводку (Файл → Сводка показывает ее снова)</source>
        <translation>Hide the summary (File → Summary shows it again)</translation>
    </message>
    <message>
        <source>Больше всего изменений:</source>
        <translation>Changed most:</translation>
    </message>
    <message>
        <source>идет выполнение...</source>
        <translation>running...</translation>
    </message>
    <message>
        <source>Выполнено полностью.</source>
        <translation>Completed.</translation>
    </message>
    <message>
        <source>Остановлено пользователем.</source>
        <translation>Stopped by the user.</translation>
    </message>
    <message>
        <source>Прервано ошибкой: </source>
        <translation>Ended by an error: </translation>
    </message>
    <message>
        <source>Страниц найдено %1: изменено %2, без изменений %3, не записано %4, не достигнуто %5.</source>
        <translation>Pages found %1: changed %2, unchanged %3, not written %4, not reached %5.</translation>
    </message>
    <message>
        <source>
Байт на входе %1, на выходе %2</source>
        <translation>
Bytes in %1, out %2</translation>
    </message>
    <message>
        <source>.
Удалено байт %1, вставлено %2. Время: %3.</source>
        <translation>.
Bytes removed %1, put in %2. Time: %3.</translation>
    </message>
    <message>
        <source>Открыть в просмотре изменений</source>
        <translation>Open in the change viewer</translation>
    </message>
    <message>
        <source> Как после прошлого запуска: %1.</source>
        <translation> Up to date since the last run: %1.</translation>
    </message>
</context>
</TS>
