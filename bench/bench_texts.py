"""The texts the typing benchmarks type: 1,000 ASCII characters (letters, digits and the
punctuation of the keyboard's first levels, the same every run) and 100 Catalan/Spanish
characters (accented letters and capitals, "·", "«»", "Ñ")."""
import random

_rng = random.Random(1714)
ASCII = "".join(_rng.choice("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                            "0123456789 .,;:-_!?'\"/&=*<>@#$") for _ in range(1000))
ACCENTED = ("Àvia Núria, què és això? Ça va, Ñandú! L·lí diu: «Sí, és clar»; "
            "ÉS ÒPTIM, ÍNTEGRE I ÚNIC. àèéíòóúüçñ")[:100]
assert len(ACCENTED) == 100
