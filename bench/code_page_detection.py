#!/usr/bin/python3
"""Measures the code page guess (check/code_page_guess.h) on realistic legacy
keyboards of every supported language:

    /usr/bin/python3 bench/code_page_detection.py [BUILD_DIR]

For each language it writes keyboards in five variants, from much text to
little (a name, image and sound paths with the language's words, one key per
letter of its alphabet in lower and upper case, ... down to the name alone),
in the language's code page, into a temporary folder; runs BUILD_DIR's
bench/code_page_guess (default build/release) on them; and prints a table:
per language, how many were guessed right (for Western European keyboards,
which are read as 1252: no guess), left unsure, or guessed wrong.
Exits with 1 when a Western European keyboard (code page 1252) is guessed as
any other code page, which the check must never suggest.

Letters without a byte in the code page are left out of the keyboards. Key
characters are single bytes in the legacy format: languages whose letters are
two bytes (Chinese, Korean, most Japanese) get keys that type their text
(type 16) instead, with half-width katakana as characters in Japanese.
"""

import os
import subprocess
import sys
import tempfile

# code page, language, keyboard names, words for file names, letters
LANGUAGES = [
    (1252, "French", ["Clavier français", "Pavé numérique"], ["touches", "clavier_enfoncé"],
     "abcdefghijklmnopqrstuvwxyzàâæçéèêëîïôœùûüÿ"),
    (1252, "German", ["Deutsche Tastatur", "Große Tasten"], ["tasten", "gedrückt"],
     "abcdefghijklmnopqrstuvwxyzäöüß"),
    (1252, "Spanish", ["Teclado español", "Teclado para niños"], ["teclas", "pulsación"],
     "abcdefghijklmnñopqrstuvwxyzáéíóúü"),
    (1252, "Portuguese", ["Teclado português", "Teclado do coração"], ["teclas", "pressão"],
     "abcdefghijklmnopqrstuvwxyzãõçáâàéêíóôú"),
    (1252, "Danish", ["Dansk tastatur", "Tastatur på skærm"], ["taster", "trykket_ned"],
     "abcdefghijklmnopqrstuvwxyzæøå"),
    (1252, "Icelandic", ["Íslenskt lyklaborð", "Skjályklaborð"], ["lyklar", "þrýst"],
     "aábdðeéfghiíjklmnoóprstuúvxyýþæö"),
    (1250, "Polish", ["Klawiatura polska", "Duże klawisze"], ["klawisze", "wciśnięte"],
     "aąbcćdeęfghijklłmnńoóprsśtuwyzźż"),
    (1250, "Czech", ["Česká klávesnice", "Klávesnice na obrazovce"], ["klávesy", "stisknuté"],
     "aábcčdďeéěfghiíjklmnňoópqrřsštťuúůvwxyýzž"),
    (1250, "Hungarian", ["Magyar billentyűzet", "Képernyő-billentyűzet"], ["billentyűk", "lenyomva"],
     "aábcdeéfghiíjklmnoóöőpqrstuúüűvwxyz"),
    (1250, "Croatian", ["Hrvatska tipkovnica", "Velike tipke"], ["tipke", "pritisnuto"],
     "abcčćdđefghijklmnoprsštuvzž"),
    (1251, "Russian", ["Русская клавиатура", "Экранная клавиатура"], ["клавиши", "нажатие"],
     "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"),
    (1251, "Ukrainian", ["Українська клавіатура", "Екранна клавіатура"], ["клавіші", "натиснуто"],
     "абвгґдеєжзиіїйклмнопрстуфхцчшщьюя"),
    (1251, "Bulgarian", ["Българска клавиатура", "Големи клавиши"], ["клавиши", "натиснат"],
     "абвгдежзийклмнопрстуфхцчшщъьюя"),
    (1251, "Serbian", ["Српска тастатура", "Велики тастери"], ["тастери", "притиснут"],
     "абвгдђежзијклљмнњопрстћуфхцчџш"),
    (1253, "Greek", ["Ελληνικό πληκτρολόγιο", "Μεγάλα πλήκτρα"], ["πλήκτρα", "πατημένο"],
     "αβγδεζηθικλμνξοπρστυφχψωάέήίόύώϊϋς"),
    (1254, "Turkish", ["Türkçe klavye", "Büyük tuşlar"], ["tuşlar", "basılı"],
     "abcçdefgğhıijklmnoöprsştuüvyz"),
    (1255, "Hebrew", ["מקלדת עברית", "מקלדת מסך"], ["מקשים", "לחוץ"],
     "אבגדהוזחטיכךלמםנןסעפףצץקרשת"),
    (1256, "Arabic", ["لوحة المفاتيح العربية", "لوحة مفاتيح الشاشة"], ["مفاتيح", "مضغوط"],
     "ابتثجحخدذرزسشصضطظعغفقكلمنهوي"),
    (1256, "Persian", ["صفحه کلید فارسی", "صفحه کلید بزرگ"], ["کلیدها", "فشرده"],
     "ابپتثجچحخدذرزژسشصضطظعغفقکگلمنوهی"),
    (1257, "Lithuanian", ["Lietuviška klaviatūra", "Ekrano klaviatūra"], ["klavišai", "nuspaustas"],
     "aąbcčdeęėfghiįyjklmnoprsštuųūvzž"),
    (1257, "Latvian", ["Latviešu tastatūra", "Ekrāna tastatūra"], ["taustiņi", "nospiests"],
     "aābcčdeēfgģhiījkķlļmnņoprsštuūvzž"),
    (1257, "Estonian", ["Eesti klaviatuur", "Ekraaniklaviatuur"], ["klahvid", "allavajutatud"],
     "abdefghijklmnoprsšzžtuvõäöü"),
    (1258, "Vietnamese", ["Bàn phím tiếng Việt", "Bàn phím màn hình"], ["phím", "nhấn_xuống"],
     "aăâbcdđeêghiklmnoôơpqrstuưvxy"),
    (874, "Thai", ["แป้นพิมพ์ภาษาไทย", "แป้นพิมพ์บนจอ"], ["ปุ่ม", "กดลง"],
     "กขฃคฅฆงจฉชซฌญฎฏฐฑฒณดตถทธนบปผฝพฟภมยรลวศษสหฬอฮะาำิีึืุูเแโใไ"),
    (932, "Japanese", ["日本語キーボード", "かなキーボード"], ["表示", "押下"],
     "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"),
    (936, "Simplified Chinese", ["简体中文键盘", "拼音输入键盘"], ["按键", "按下状态"],
     "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会"),
    (949, "Korean", ["한국어 자판", "화면 키보드"], ["키보드", "눌림"],
     "ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎㅏㅐㅑㅒㅓㅔㅕㅖㅗㅛㅜㅠㅡㅣ"),
    (950, "Traditional Chinese", ["注音輸入鍵盤", "繁體中文鍵盤"], ["按鍵", "圖片"],
     "ㄅㄆㄇㄈㄉㄊㄋㄌㄍㄎㄏㄐㄑㄒㄓㄔㄕㄖㄗㄘㄙㄚㄛㄜㄝㄞㄟㄠㄡㄢㄣㄤㄥㄦㄧㄨㄩ"),
]

VARIANTS = ["name, paths, keys", "name, keys", "paths, keys", "keys", "name"]


def encodable(text, page):
    """The characters of text that code page has bytes for."""
    kept = []
    for character in text:
        try:
            character.encode(f"cp{page}")
            kept.append(character)
        except UnicodeEncodeError:
            pass
    return "".join(kept)


def keyboard(page, name, words, letters, variant):
    """The UTF-8 text of one keyboard (CR LF line ends)."""
    with_name = "name" in variant
    with_paths = "paths" in variant
    with_keys = "keys" in variant
    lines = ["; On-screen keyboard", "[KEYDEF]", name if with_name else "Keyboard", "xres=800",
             "minout=1"]
    image, pressed = (words[0], words[1]) if with_paths else ("keys", "keys_down")
    lines += [f"normal jpeg=images\\{image}.jpg", f"pressed jpeg=images\\{pressed}.jpg", "",
              "[SOUNDS]", f"1=sounds\\{image}.wav" if with_paths else "1=sounds\\click.wav",
              "2=sounds\\bell.wav", "[/SOUNDS]", ""]
    single_byte = page not in (932, 936, 949, 950)
    lines.append("[NOT INFLUENCED BY SHIFT]")
    lines.append("[10,170,450,170,450,206,10,206], 1, 1, 32, 0, ' '")
    lines.append("[/NOT INFLUENCED BY SHIFT]")
    for section, upper in (("SHIFT/CAPS OFF", False), ("SHIFT/CAPS ON", True)):
        lines.append(f"[{section}]")
        keys = letters if with_keys else "abcdefghijklmnopqrstuvwxyz"
        if upper:
            keys = keys.upper()
        for i, letter in enumerate(keys):
            x, y = 10 + 46 * (i % 12), 10 + 40 * (i // 12)
            outline = f"[{x},{y},{x + 42},{y},{x + 42},{y + 36},{x},{y + 36}]"
            if single_byte or not with_keys:
                if len(letter.encode(f"cp{page}", errors="replace")) == 1:
                    lines.append(f"{outline}, 1, 1, -1, 0, '{letter}'")
            else:
                lines.append(f'{outline}, 1, 16, "{letter}"')
        if page == 932 and with_keys and not upper:  # half-width katakana keys
            for i, letter in enumerate("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄ"):
                x = 10 + 46 * (i % 12)
                y = 300 + 40 * (i // 12)
                lines.append(f"[{x},{y},{x + 42},{y},{x + 42},{y + 36},{x},{y + 36}], 1, 1, -1, 0, "
                             f"'{letter}'")
        lines.append(f"[/{section}]")
    lines.append("[/KEYDEF]")
    return "\r\n".join(lines) + "\r\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "release")
    tool = os.path.join(build, "bench", "code_page_guess")
    with tempfile.TemporaryDirectory() as folder:
        files = {}
        for page, language, names, words, letters in LANGUAGES:
            for number, variant in enumerate(VARIANTS):
                name = names[number % len(names)]
                text = keyboard(page, encodable(name, page), [encodable(w, page) for w in words],
                                encodable(letters, page), variant)
                path = os.path.join(folder, f"{language.replace(' ', '_')}-{number}.kbd")
                with open(path, "wb") as file:
                    file.write(text.encode(f"cp{page}"))
                files[path] = (page, language, variant)
        output = subprocess.run([tool, *files], check=True, capture_output=True, text=True).stdout
    results = {}
    wrong_western = []
    for line in output.splitlines():
        fields = line.split("\t")
        page, language, variant = files[fields[0]]
        if fields[1] == "unsure":  # no note: right for a Western keyboard read as 1252
            outcome = "right" if page == 1252 else "unsure"
        else:
            outcome = "right" if int(fields[1]) == page else "wrong"
        results.setdefault((page, language), []).append((variant, outcome, fields[1:]))
        if page == 1252 and outcome == "wrong":
            wrong_western.append(f"{language} ({variant}): {fields[1]}")
    print(f"{'code page':>9}  {'language':<20} {'right':>5} {'unsure':>6} {'wrong':>5}  "
          "(variants: " + "; ".join(VARIANTS) + ")")
    totals = {"right": 0, "unsure": 0, "wrong": 0}
    for (page, language), rows in results.items():
        counts = {kind: sum(1 for _, outcome, _ in rows if outcome == kind) for kind in totals}
        for kind in totals:
            totals[kind] += counts[kind]
        detail = " ".join({"right": "+", "unsure": ".", "wrong": "x"}[o] for _, o, _ in rows)
        wrongs = ", ".join(f[0] for _, o, f in rows if o == "wrong")
        print(f"{page:>9}  {language:<20} {counts['right']:>5} {counts['unsure']:>6} "
              f"{counts['wrong']:>5}  {detail}" + (f"  (as {wrongs})" if wrongs else ""))
    print(f"{'':>9}  {'all':<20} {totals['right']:>5} {totals['unsure']:>6} {totals['wrong']:>5}")
    if wrong_western:
        print("Western European keyboards guessed wrong: " + "; ".join(wrong_western))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
